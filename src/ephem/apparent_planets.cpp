#include "ephem/apparent_planets.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "ephem/day_search.h"
#include "ephem/jpl_file.h"
#include "ephem/place_steps.h"
#include "ephem/planets.h"
#include "io/file_cache.h"

namespace zembrel::ephem {

namespace {

using astro::Vec3;

constexpr double kLightTimeTolerance = 1e-12;  // days
constexpr int kMaxLightTimePasses = 50;

double norm(const Vec3& a) { return astro::vector_mod(a); }

// The light-time iteration of one body seen from the Earth at tdb: the
// body at tdb - tau, with tau = (u + 2 mu ln((e + u + r) / (e - u + r))) / c
// (u, e, r the Earth-body, Sun-Earth and Sun-body distances; the Shapiro
// term of Kaplan et al. 1989, Astron. J. 97, 1197; plain u / c for the Sun),
// repeated until tau changes by no more than 1e-12 days.
struct LightTime {
  Vec3 u{};  // Earth (at tdb) to the body (at tdb - tau), AU
  Vec3 q{};  // Sun (at tdb) to the Earth (at tdb)
  Vec3 r{};  // Sun (at tdb - tau) to the body (at tdb - tau)
  double u_len = 0.0, q_len = 0.0, r_len = 0.0;
};

// x and sun0: the body and the Sun at tdb (the first pass, tau = 0).
LightTime light_time(double tdb, int body, const EarthState& earth, const Vec3& x, const Vec3& sun0) {
  const double c = light_au_per_day();
  const double mu = astro::kGaussK * astro::kGaussK / (c * c);  // Sun's gravitational radius, AU
  const double emrat1 = 1.0 + astro::kEarthMoonMassRatio;
  LightTime lt;
  double tau = 0.0;
  for (int pass = 0; pass < kMaxLightTimePasses; ++pass) {
    const double t = tdb - tau;
    const bool at_tdb = t == tdb;
    const Vec3 sun = at_tdb ? sun0 : checked_coord(t, astro::kJplSun).position;
    Vec3 p = at_tdb ? x : body == astro::kJplSun ? sun : checked_coord(t, body).position;
    if (body == astro::kJplMoon) {
      const Vec3 bary = at_tdb ? earth.barycentre.position
                               : checked_coord(t, astro::kJplEarthMoonBarycentre).position;
      p = add(p, sub(bary, div(p, emrat1)));  // barycentric Moon
    }
    lt.u = sub(p, earth.position);
    lt.q = sub(earth.position, sun0);
    lt.r = sub(p, sun);
    lt.u_len = norm(lt.u);
    double tau_new;
    if (body != astro::kJplSun) {
      lt.r_len = norm(lt.r);
      lt.q_len = norm(lt.q);
      tau_new = (lt.u_len + 2.0 * mu * std::log((lt.q_len + lt.u_len + lt.r_len) /
                                                (lt.q_len - lt.u_len + lt.r_len))) / c;
    } else {
      tau_new = lt.u_len / c;
    }
    if (!(std::fabs(tau_new - tau) > kLightTimeTolerance)) break;
    tau = tau_new;
  }
  return lt;
}

// Horizontal parallax and semidiameter of the Moon and the Sun at a
// geocentric distance in AU: sin HP = R_E / d; the Moon's SD from
// sin SD = k sin HP, the Sun's from sin SD = R_S / d.
void semidiameter_and_parallax(int body, double distance, ApparentPlace& place) {
  if (body != astro::kJplMoon && body != astro::kJplSun) return;
  place.parallax = std::asin(astro::kEarthRadiusKm / (distance * astro::kAuKm));
  if (body == astro::kJplMoon) {
    place.semidiameter = std::asin(std::sin(place.parallax) * astro::kMoonRadiusKm / astro::kEarthRadiusKm);
  } else {
    place.semidiameter = std::asin((astro::kSunRadiusKm / astro::kAuKm) / distance);
  }
}

}  // namespace

namespace {

ApparentPlace compute_place(double jd, int body);

// Places kept, by the instant (bit for bit), the body and the parse of the
// ephemeris they came from, with the parse of the nutation series: the day
// searches of one calculation ask again for the instants of their scans
// (the same date searched at another place, the Sun's twilights at the
// instants of its rising and setting search).
struct PlaceKey {
  std::uint64_t jd = 0;
  int body = 0;
  std::uint64_t ephemeris = 0;
  bool operator==(const PlaceKey&) const = default;
  std::uint64_t hash() const { return ((jd ^ static_cast<std::uint64_t>(body)) * 0x9E3779B97F4A7C15ull) >> 40; }
};
struct KeptPlace {
  ApparentPlace place;
  std::uint64_t nutation = 0;
};

}  // namespace

ApparentPlace apparent_planets_geo3(double jd, int body) {
  static io::HashedMemo<PlaceKey, KeptPlace, 1024> known;
  if (!io::caches_enabled()) return compute_place(jd, body);
  // The ephemeris is looked at first, as the place itself does; a place
  // found was inside the file, and only then is the series looked at.
  const PlaceKey key{std::bit_cast<std::uint64_t>(jd), body, ephemeris_generation()};
  const KeptPlace* kept = known.find(key);
  if (kept != nullptr && kept->nutation == astro::nutation_generation()) return kept->place;
  const ApparentPlace place = compute_place(jd, body);
  known.store(key, {place, astro::nutation_generation()});
  return place;
}

namespace {

ApparentPlace compute_place(double jd, int body) {
  const double c = light_au_per_day();
  const double mu = astro::kGaussK * astro::kGaussK / (c * c);  // Sun's gravitational radius, AU
  const double tdb = astro::tt_to_tdb(jd);
  const EarthState earth = earth_state(tdb);

  // The body and the Sun at tdb; a state already fetched for the same
  // instant is not fetched again.
  const Vec3 x = body == astro::kJplEarthMoonBarycentre ? earth.barycentre.position
                 : body == astro::kJplMoon              ? earth.moon.position
                                                        : checked_coord(tdb, body).position;
  const double distance = body == astro::kJplMoon ? norm(x) : norm(sub(earth.position, x));
  const Vec3 sun0 = body == astro::kJplSun ? x : checked_coord(tdb, astro::kJplSun).position;

  const LightTime lt = light_time(tdb, body, earth, x, sun0);
  const Vec3 u_hat = div(lt.u, lt.u_len);
  const Vec3 p1 = body == astro::kJplSun
                      ? u_hat
                      : deflect(u_hat, div(lt.q, lt.q_len), lt.q_len, div(lt.r, lt.r_len), mu);
  const Vec3 p4 = to_true_of_date(jd, aberrate(p1, earth.velocity));

  ApparentPlace place;
  place.position = mul(p4, distance / norm(p4));
  const RaDec rd = ra_dec(p4);
  place.ra = rd.ra;
  place.dec = rd.dec;
  place.distance = distance;
  semidiameter_and_parallax(body, distance, place);
  return place;
}

}  // namespace

namespace {

constexpr int kScanSteps = 1000;
constexpr int kMaxEvents = 10;

// The day search of one body at one place.
class DaySearch {
 public:
  DaySearch(int year, int month, int day, int body, double longitude, double latitude)
      : year_(year), month_(month), day_(day), body_(body), longitude_(longitude),
        latitude_(latitude) {
    if (body == astro::kJplSun) {
      h0_ = astro::degree_to_radian(astro::kSunRiseAltitudeDeg);
    } else {
      h0_ = astro::degree_to_radian(astro::kRiseAltitudeDeg);
    }
    direction_rate_ = body == astro::kJplMoon ? kMoonRate : kSunPlanetRate;
    altitude_rate_ = body == astro::kJplMoon ? kMoonRate + kMoonThresholdRate : kSunPlanetRate;
  }

  struct Evaluation {
    ApparentPlace place;
    double h0 = 0.0;
    astro::Horizontal horizon;
    const DaySearch* search = nullptr;
    double f() const { return horizon.spherical.latitude - h0; }  // altitude above threshold
    double g() const { return horizon.horizontal[1]; }            // east component
    double f_reach() const { return altitude_reach(f(), search->latitude_, search->altitude_rate_); }
    double g_reach() const { return meridian_reach(g(), place.position, search->direction_rate_); }
  };

  double jd(double hours) const { return astro::julian_date(year_, month_, day_, hours); }

  Evaluation evaluate(double hours) const {
    Evaluation e;
    const double t = jd(hours);
    e.place = apparent_planets_geo3(t, body_);
    ++search_work().places;
    e.h0 = h0_;
    e.search = this;
    if (body_ == astro::kJplMoon) {
      e.h0 = astro::degree_to_radian(astro::kRiseAltitudeDeg) - e.place.semidiameter +
             e.place.parallax;
    }
    e.horizon = horizon(hours, e.place);
    return e;
  }

  astro::Horizontal horizon(double hours, const ApparentPlace& place) const {
    ++search_work().horizons;
    return astro::equatorial_to_horizontal(jd(hours), longitude_, latitude_, place.position);
  }

  double latitude() const { return latitude_; }

 private:
  int year_, month_, day_, body_;
  double longitude_, latitude_;
  double h0_;
  double direction_rate_, altitude_rate_;  // the most they move, radians per hour
};

}  // namespace

namespace {

struct SearchKey {
  int year, month, day, body;
  std::uint64_t longitude, latitude;
  SearchData data;
  bool operator==(const SearchKey&) const = default;
};

}  // namespace

PlanetaryEvents planetary_efem3x(int year, int month, int day, int body, double longitude,
                                 double latitude) {
  const DaySearch search(year, month, day, body, longitude, latitude);
  PlanetaryEvents out;

  const DaySearch::Evaluation noon = search.evaluate(12.0);
  out.semidiameter = noon.place.semidiameter;
  out.parallax = noon.place.parallax;

  // The same search again (once the data files have answered, so that a
  // missing one stops the program as at the first search).
  static io::ResultMemo<SearchKey, PlanetaryEvents, 4> known;
  const SearchKey key{year, month, day, body, key_bits(longitude), key_bits(latitude), search_data()};
  if (const PlanetaryEvents* same = known.find(key)) return *same;

  // Scan of the day for sign changes of the altitude above the threshold and
  // of the east component (meridian); each change keeps its step.
  auto evaluate = [&](double hours) { return search.evaluate(hours); };
  const DayScan scan = scan_day(kScanSteps, kMaxEvents, evaluate);
  out.circumpolar = scan.crossings.empty();
  out.no_transit = scan.meridians.empty();

  // Rising and setting: the derivative keeps the apparent place of hour t.
  store_rise_set(scan.crossings, out, evaluate, [&](double t, const DaySearch::Evaluation& at) {
    const double up = search.horizon(t + kSearchEpsilon, at.place).spherical.latitude - at.h0;
    const double down = search.horizon(t - kSearchEpsilon, at.place).spherical.latitude - at.h0;
    return (up - down) / (2.0 * kSearchEpsilon);
  });

  // Meridian transits: the derivative follows the apparent place too.
  store_transits(scan.meridians, out.transits, search.latitude(), evaluate);
  known.store(key, out);
  return out;
}

}  // namespace zembrel::ephem
