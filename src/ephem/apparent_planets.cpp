#include "ephem/apparent_planets.h"

#include <cmath>
#include <vector>

#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/precession_nutation.h"
#include "ephem/day_search.h"
#include "ephem/jpl_file.h"
#include "ephem/planets.h"

namespace zembrel::ephem {

namespace {

using astro::Vec3;

constexpr double kEarthRadiusKm = 6378.1363;
constexpr double kMoonRadiusKm = 1738.0;
constexpr double kSunRadiusKm = 696000.0;
constexpr double kLightKmPerS = 299792.458;
constexpr double kGauss = 0.01720209895;
constexpr double kLightTimeTolerance = 1e-12;  // days
constexpr int kMaxLightTimePasses = 50;
constexpr double kJ2000 = 2451545.0;

Vec3 add(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 mul(const Vec3& a, double f) { return {a[0] * f, a[1] * f, a[2] * f}; }
Vec3 div(const Vec3& a, double f) { return {a[0] / f, a[1] / f, a[2] / f}; }
double dot(const Vec3& a, const Vec3& b) { return astro::scalar_product(a, b); }
double norm(const Vec3& a) { return astro::vector_mod(a); }

}  // namespace

ApparentPlace apparent_planets_geo3(double jd, int body) {
  const double c = kLightKmPerS * 86400.0 / astro::kAuKm;  // AU per day
  const double mu = kGauss * kGauss / (c * c);     // Sun's gravitational radius, AU
  const double emrat1 = 1.0 + astro::kEarthMoonMassRatio;

  // Barycentric dynamical time.
  const double g = astro::degree_to_radian(357.53 + 0.9856003 * (jd - kJ2000));
  const double tdb = jd + (0.001658 * std::sin(g) + 0.000014 * std::sin(2.0 * g)) / 86400.0;

  // The Earth and its velocity in units of c.  A state already fetched for
  // the same instant is not fetched again (the ephemeris gives the same
  // values for the same instant and body).
  const CheckedState emb = checked_coord(tdb, 3);
  const CheckedState moon = checked_coord(tdb, 10);
  const Vec3 earth = sub(emb.position, div(moon.position, emrat1));
  const Vec3 v = div(sub(emb.velocity, div(moon.velocity, emrat1)), c);
  const double w = 1.0 / std::sqrt(1.0 - dot(v, v));

  const Vec3 x = body == 3    ? emb.position
                 : body == 10 ? moon.position
                              : checked_coord(tdb, body).position;
  const double distance = body == 10 ? norm(x) : norm(sub(earth, x));
  const Vec3 sun0 = body == 11 ? x : checked_coord(tdb, 11).position;

  // Light time: the body at tdb - tau seen from the Earth at tdb.  The first
  // pass (tau = 0) is at tdb itself.
  Vec3 u_vec{}, q_vec{}, r_vec{};
  double u = 0.0, r = 0.0, e = 0.0;
  double tau = 0.0;
  for (int pass = 0; pass < kMaxLightTimePasses; ++pass) {
    const double t = tdb - tau;
    const bool at_tdb = t == tdb;
    const Vec3 sun = at_tdb ? sun0 : checked_coord(t, 11).position;
    Vec3 p = at_tdb ? x : body == 11 ? sun : checked_coord(t, body).position;
    if (body == 10) {
      const Vec3 bary = at_tdb ? emb.position : checked_coord(t, 3).position;
      p = add(p, sub(bary, div(p, emrat1)));  // barycentric Moon
    }
    u_vec = sub(p, earth);
    q_vec = sub(earth, sun0);
    r_vec = sub(p, sun);
    u = norm(u_vec);
    double tau_new;
    if (body != 11) {
      r = norm(r_vec);
      e = norm(q_vec);
      tau_new = (u + 2.0 * mu * std::log((e + u + r) / (e - u + r))) / c;
    } else {
      tau_new = u / c;
    }
    if (!(std::fabs(tau_new - tau) > kLightTimeTolerance)) break;
    tau = tau_new;
  }

  // Light deflection by the Sun.
  const Vec3 u_hat = div(u_vec, u);
  Vec3 p1 = u_hat;
  if (body != 11) {
    const Vec3 r_hat = div(r_vec, r);
    const Vec3 e_hat = div(q_vec, e);
    const Vec3 bend = sub(mul(e_hat, dot(u_hat, r_hat)), mul(r_hat, dot(e_hat, u_hat)));
    p1 = add(u_hat, mul(div(bend, 1.0 + dot(r_hat, e_hat)), 2.0 * mu / e));
  }

  // Annual aberration.
  const double p1v = dot(p1, v);
  const Vec3 p2 = div(add(mul(p1, 1.0 / w), mul(v, 1.0 + p1v / (1.0 + 1.0 / w))), 1.0 + p1v);

  // Mean equator and equinox of J2000 to the true ones of date.
  const Vec3 p3 = astro::precession_ecuatoriales(kJ2000, jd, p2);
  const astro::Nutation nut = astro::nutation_parameters(jd);
  const Vec3 p4 = astro::nutation_ecuatoriales(nut.eps0, nut.eps, nut.dpsi, p3);

  ApparentPlace place;
  place.position = mul(p4, distance / norm(p4));
  const astro::Spherical s = astro::cartesian_spherical(p4);
  place.dec = s.latitude;
  place.ra = astro::scale_angle(s.longitude);
  place.distance = distance;
  if (body == 10) {
    place.parallax = std::asin(kEarthRadiusKm / (distance * astro::kAuKm));
    place.semidiameter = std::asin(std::sin(place.parallax) * kMoonRadiusKm / kEarthRadiusKm);
  } else if (body == 11) {
    place.parallax = std::asin(kEarthRadiusKm / (distance * astro::kAuKm));
    place.semidiameter = std::asin((kSunRadiusKm / astro::kAuKm) / distance);
  }
  return place;
}

namespace {

constexpr int kScanSteps = 1000;
constexpr int kMaxEvents = 10;

// The day search of one body at one place.
class DaySearch {
 public:
  DaySearch(int year, int month, int day, int body, double longitude, double latitude)
      : year_(year), month_(month), day_(day), body_(body), longitude_(longitude),
        latitude_(latitude) {
    if (body == 11) {
      h0_ = astro::degree_to_radian(-0.8333333333333334);
    } else {
      h0_ = astro::degree_to_radian(-0.5666666666666667);
    }
  }

  struct Evaluation {
    ApparentPlace place;
    double h0 = 0.0;
    astro::Horizontal horizon;
    double f() const { return horizon.spherical.latitude - h0; }  // altitude above threshold
    double g() const { return horizon.horizontal[1]; }            // east component
  };

  double jd(double hours) const { return astro::julian_date(year_, month_, day_, hours); }

  Evaluation evaluate(double hours) const {
    Evaluation e;
    const double t = jd(hours);
    e.place = apparent_planets_geo3(t, body_);
    e.h0 = h0_;
    if (body_ == 10) {
      e.h0 = astro::degree_to_radian(-0.5666666666666667) - e.place.semidiameter +
             e.place.parallax;
    }
    e.horizon = horizon(hours, e.place);
    return e;
  }

  astro::Horizontal horizon(double hours, const ApparentPlace& place) const {
    return astro::equatorial_to_horizontal(jd(hours), longitude_, latitude_, place.position);
  }

  double latitude() const { return latitude_; }

 private:
  int year_, month_, day_, body_;
  double longitude_, latitude_;
  double h0_;
};

}  // namespace

double azimuth_from_north(const astro::Horizontal& h) {
  return astro::radian_to_degree(astro::scale_angle(astro::kPi - h.spherical.longitude));
}

double transit_kind(const astro::Vec3& hv, double latitude) {
  if (hv[2] < 0.0) return 0.0;
  // Upper or lower culmination: compare with the elevated pole, which lies
  // to the north of a northern observer and to the south of a southern one.
  const double side = latitude >= 0.0 ? 1.0 : -1.0;
  const double q = side * hv[0] / std::sqrt(hv[0] * hv[0] + hv[1] * hv[1] + hv[2] * hv[2]);
  const double c = -std::cos(astro::degree_to_radian(latitude));
  return q < c ? -1.0 : 1.0;  // q == c counts as an upper transit
}

PlanetaryEvents planetary_efem3x(int year, int month, int day, int body, double longitude,
                                 double latitude) {
  const DaySearch search(year, month, day, body, longitude, latitude);
  PlanetaryEvents out;

  const DaySearch::Evaluation noon = search.evaluate(12.0);
  out.semidiameter = noon.place.semidiameter;
  out.parallax = noon.place.parallax;

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
  return out;
}

}  // namespace zembrel::ephem
