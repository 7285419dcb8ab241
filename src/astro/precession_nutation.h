// IAU 1976 precession (Lieske et al. 1977), IAU 1980 nutation (Seidelmann
// 1982; the series read from "nutation_IAU1980.dat", found as io/data_path.h
// says and kept parsed as io/file_cache.h describes, with results kept for the
// instants asked again) and the IAU 1980 mean obliquity of the
// ecliptic.  Angles in radians, instants as Julian dates.
#pragma once

#include <cstdint>

#include "astro/angles.h"

namespace zembrel::astro {

double mean_obliquity(double jd);

struct Nutation {
  double dpsi;  // nutation in longitude
  double deps;  // nutation in obliquity
  double eps0;  // mean obliquity
  double eps;   // true obliquity
};
// A missing, short or malformed series file throws io::RuntimeError.
Nutation nutation_parameters(double jd);

// Which parse of the series file nutation_parameters answers from, as
// io/file_cache.h counts them: for keeping results computed from it.
std::uint64_t nutation_generation();

// v carried from the mean equator and equinox of jd_from to those of jd_to.
Vec3 precession_ecuatoriales(double jd_from, double jd_to, const Vec3& v);

// v carried from the mean to the true equator and equinox of date.
Vec3 nutation_ecuatoriales(double eps0, double eps, double dpsi, const Vec3& v);

// Number of terms of the series file.
inline constexpr int kNutationTerms = 106;

}  // namespace zembrel::astro
