// Reader of the JPL ephemeris file "JPL_1550-2650_430t": Chebyshev series of
// the planets, the Moon, the Sun, nutation, librations and TT - TDB in
// fixed-length records of 982 little-endian doubles.
//
// Record 1 holds the body count N as its first value; record 2 the pointer
// table (first coefficient, coefficients per component, sub-intervals; N
// values each) followed by the first and last Julian dates and the days per
// data record.  Data record k is file record k + 2: its first and last Julian
// dates, then the coefficient blocks in pointer-table order.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "astro/constants.h"

namespace zembrel::ephem {

inline constexpr const char* kEphemerisFile = "JPL_1550-2650_430t";
inline constexpr int kRecordValues = 982;
inline constexpr int kMaxBodies = 15;

// Status codes of coord (and of chebyshevf, codes 1 and 2).
enum CoordStatus : int {
  kCoordOk = 0,
  kCoordOutsideSpan = 1,   // instant outside the file (or outside a series)
  kCoordNoSuchBody = 2,    // body number beyond the file's body count
  kCoordNotInFile = 3,     // the file holds no coefficients for the body
};

// Components per body, JPL numbering 1..15 (index 0 unused).
inline constexpr std::array<int, 16> kComponentCount = {0, 3, 3, 3, 3, 3, 3, 3, 3,
                                                        3, 3, 3, 2, 3, 3, 1};

struct ChebyshevResult {
  double value = 0.0;
  double rate = 0.0;  // per day
  int status = 0;     // 0 ok; 1 t outside [t0, t1]; 2 n outside 2..50
};

// Chebyshev series of n coefficients over [t0, t1] evaluated at t, with its
// derivative per day.  value and rate stay 0 on failure.
ChebyshevResult chebyshevf(double t0, double t1, const double* coef, int n, double t);

struct CoordResult {
  // Values of the components, then their rates per day; bodies 1-11 in AU
  // and AU/day, librations reduced to [0, 2 pi).  Unused slots are 0, and
  // every slot is 0 on failure.
  std::array<double, 6> state{};
  int count = 0;   // components x 2 for bodies 1-11, components otherwise
  int status = 0;  // CoordStatus
};

// State of `body` (1..15, JPL numbering) at Julian date `jd` (TDB) from the
// ephemeris file, found as io/data_path.h says; its header and the last few
// data records are kept as io/file_cache.h describes.  A missing or
// unreadable file, or one whose header is not in the layout above, throws
// io::RuntimeError.
CoordResult coord(double jd, int body);

// Which parse of the ephemeris file's header coord answers from, as
// io/file_cache.h counts them (the file is looked at as coord looks at it):
// for keeping results computed from the file.
std::uint64_t ephemeris_generation();

// What the header of an ephemeris file says it covers.
struct EphemerisSpan {
  std::string problem;  // why the header could not be read; empty when it was
  int de_number = 0;    // JPL's DE number, when record 1 gives it (value 2); else 0
  double first_jd = 0.0;  // span_start_jd and span_end_jd of record 2 (TDB)
  double last_jd = 0.0;
};

// The span of the ephemeris file at `path`, from its two header records.
// Unlike coord, it never stops the program: a file that cannot be opened or
// read, or whose body count or span is impossible, comes back with `problem`.
EphemerisSpan ephemeris_span(const std::string& path);

}  // namespace zembrel::ephem
