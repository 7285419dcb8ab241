#include "reduction/recognition.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/sidereal.h"
#include "astro/time_scales.h"
#include "ephem/apparent_planets.h"

namespace zembrel::reduction {

using astro::degree_to_radian;
using astro::kPi;
using astro::kTwoPi;
using astro::scale_angle;

namespace {

constexpr std::array<int, 4> kPlanetBodies = {astro::kJplVenus, astro::kJplMars, astro::kJplJupiter,
                                              astro::kJplSaturn};

// Rounding can leave the cosine of a side of the triangle just outside its
// range when the body is near the zenith, the pole or the horizon.
double clamped_acos(double x) {
  if (x > 1.0) return 0.0;
  if (x < -1.0) return kPi;
  return std::acos(x);
}

// The difference of two right ascensions brought into (-pi, pi].
double ra_difference(double a, double b) {
  double d = std::fmod(a - b, kTwoPi);
  if (d > kPi) d -= kTwoPi;
  if (d <= -kPi) d += kTwoPi;
  return d;
}

}  // namespace

SearchTable search_places(double jd_tt, const ephem::StarCatalogue& catalogue) {
  SearchTable t;
  for (int i = 1; i <= ephem::kCatalogueStars; ++i) {
    const ephem::StarRaDec p =
        ephem::apparent_star3(jd_tt, ephem::catalogue_star(catalogue[static_cast<std::size_t>(i - 1)]));
    t.ra[i] = p.ra;
    t.dec[i] = p.dec;
  }
  for (int k = 0; k < 4; ++k) {
    const ephem::ApparentPlace p = ephem::apparent_planets_geo3(jd_tt, kPlanetBodies[k]);
    t.ra[ephem::kCatalogueStars + 1 + k] = p.ra;
    t.dec[ephem::kCatalogueStars + 1 + k] = p.dec;
  }
  return t;
}

PlaceEstimate estimate_place(double latitude, double longitude, double altitude_deg, double azimuth,
                             double sidereal_angle) {
  const double z = degree_to_radian(90.0 - altitude_deg);
  const double c = kPi / 2.0 - latitude;
  const bool east = azimuth <= kPi;
  const double a = east ? azimuth : kTwoPi - azimuth;
  PlaceEstimate e;
  const double p = clamped_acos(std::cos(c) * std::cos(z) + std::sin(c) * std::sin(z) * std::cos(a));
  e.dec = kPi / 2.0 - p;
  const double denominator = std::sin(c) * std::sin(p);
  e.t = denominator == 0.0 ? 0.0 : clamped_acos((std::cos(z) - std::cos(p) * std::cos(c)) / denominator);
  e.lha = east ? kTwoPi - e.t : e.t;
  const double gha = scale_angle(e.lha - longitude);
  e.ra = scale_angle(kTwoPi - (gha - sidereal_angle));
  return e;
}

int search_entry(const SearchTable& table, double ra, double dec, double tolerance) {
  const double cos_dec = std::cos(dec);
  int best = 0;
  double best_distance = 0.0;
  for (int i = 1; i <= kSearchEntries; ++i) {
    const double d_ra = ra_difference(table.ra[i], ra);
    const double d_dec = table.dec[i] - dec;
    if (!(std::fabs(d_ra) * cos_dec <= tolerance && std::fabs(d_dec) <= tolerance)) continue;
    // Haversine of the angular distance between the entry and the estimate.
    const double s1 = std::sin(d_dec / 2.0), s2 = std::sin(d_ra / 2.0);
    const double distance = s1 * s1 + std::cos(table.dec[i]) * cos_dec * s2 * s2;
    if (best == 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

int recognise_body(double latitude, double longitude, double jd_utc, double jd_tt, double altitude_deg,
                   double azimuth, const ephem::StarCatalogue& catalogue) {
  const double theta = astro::ut_to_st(0.0, jd_utc).local_apparent_st;
  const PlaceEstimate e =
      estimate_place(latitude, longitude, altitude_deg, azimuth, degree_to_radian(15.0 * theta));
  const SearchTable table = search_places(jd_tt, catalogue);
  const int entry = search_entry(table, e.ra, e.dec, kRecognitionTolerance);
  return entry == 0 ? 0 : list_number_of_entry(entry);
}

SightInstant sight_instant(int day, int month, int year, double time) {
  SightInstant at;
  at.jd_utc = astro::julian_date(year, month, day, time);
  at.scales = astro::time_scales(at.jd_utc);
  return at;
}

Recognition reconoce(double latitude, double longitude, int day, int month, int year, double time,
                     double altitude, double azimuth, const ObservationConditions& conditions) {
  return reconoce(latitude, longitude, sight_instant(day, month, year, time), altitude, azimuth, conditions);
}

Recognition reconoce(double latitude, double longitude, const SightInstant& at, double altitude,
                     double azimuth, const ObservationConditions& conditions) {
  const double phi = degree_to_radian(astro::ddmmss_to_degree_c(latitude));
  const double lambda = degree_to_radian(astro::ddmmss_to_degree_c(longitude));
  const ephem::StarCatalogue catalogue = ephem::read_star_catalogue();
  Recognition r;
  r.altitude = correct_altitude_simple(altitude, conditions);
  r.azimuth = degree_to_radian(azimuth);
  r.body = recognise_body(phi, lambda, at.jd_utc, at.scales.jd_tt, r.altitude, r.azimuth, catalogue);
  if (r.body == 0) {
    r.name = std::string(ephem::kNameWidth, ' ');
    return r;
  }
  r.name = ephem::body_name(ephem::body_names(catalogue), r.body);
  return r;
}

}  // namespace zembrel::reduction
