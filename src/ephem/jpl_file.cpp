#include "ephem/jpl_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "astro/angles.h"
#include "io/data_path.h"
#include "io/file_cache.h"
#include "io/stops.h"

namespace zembrel::ephem {

namespace {

constexpr std::size_t kRecordBytes = kRecordValues * 8;
constexpr const char* kWhere = "coord (ephem/jpl_file.cpp)";

// Whole numbers stored as doubles.
int whole(double v) { return static_cast<int>(v + 1e-9); }

// The series and its derivative per day, without the checks of chebyshevf.
ChebyshevResult series(double t0, double t1, const double* coef, int n, double t) {
  const double x = (2.0 * t - t1 - t0) / (t1 - t0);
  const double w = 2.0 * x;
  double p_prev = 1.0, p = x;  // T0, T1
  double v_prev = 0.0, v = 1.0;
  double value = coef[0] * p_prev + coef[1] * p;
  double rate = coef[0] * v_prev + coef[1] * v;
  for (int k = 2; k < n; ++k) {
    const double p_next = w * p - p_prev;
    const double v_next = 2.0 * p + w * v - v_prev;
    value += coef[k] * p_next;
    rate += coef[k] * v_next;
    p_prev = p;
    p = p_next;
    v_prev = v;
    v = v_next;
  }
  return {value, 2.0 * rate / (t1 - t0), 0};
}

// The same series for the m components of a body at once (coefficient blocks
// of n values one after the other): the polynomials are formed once, and each
// component is summed in the order series() uses, so the results are the same
// to the last bit.
void series_components(double t0, double t1, const double* coef, int n, int m, double t,
                       double* value, double* rate) {
  constexpr int kMaxCoefficients = 50;
  double p[kMaxCoefficients], v[kMaxCoefficients];
  const double x = (2.0 * t - t1 - t0) / (t1 - t0);
  const double w = 2.0 * x;
  p[0] = 1.0;
  p[1] = x;
  v[0] = 0.0;
  v[1] = 1.0;
  for (int k = 2; k < n; ++k) {
    p[k] = w * p[k - 1] - p[k - 2];
    v[k] = 2.0 * p[k - 1] + w * v[k - 1] - v[k - 2];
  }
  for (int c = 0; c < m; ++c) {
    const double* a = coef + c * n;
    double sum = a[0] * p[0] + a[1] * p[1];
    double sum_rate = a[0] * v[0] + a[1] * v[1];
    for (int k = 2; k < n; ++k) {
      sum += a[k] * p[k];
      sum_rate += a[k] * v[k];
    }
    value[c] = sum;
    rate[c] = 2.0 * sum_rate / (t1 - t0);
  }
}

// ---------------------------------------------------------------------------
// File access.  The file is looked up by io::data_file_path.  The header is
// kept by an io::FileCache (read again whenever the file is found at another
// path or its stamp changes, as io/file_cache.h describes), and the last few
// data records with it: they are thrown away whenever the header is read
// again, so a replaced file is read afresh.  With the caches off, every call
// reads both header records and its data record.

struct Header {
  std::string path;  // where the file was found
  int body_count = 0;
  std::array<int, kMaxBodies + 1> coef_offset{};
  std::array<int, kMaxBodies + 1> coef_count{};
  std::array<double, kMaxBodies + 1> subinterval_count{};
  double span_start = 0.0;
  double span_end = 0.0;
  double record_days = 0.0;
  int values = 2;  // values taken from each data record
  int records = 0;
};

struct DataRecord {
  int number = 0;  // data record k (file record k + 2); 0 = empty slot
  std::vector<double> values;
};

// The data records last read, from the header of generation `generation`.
struct Records {
  std::uint64_t generation = 0;
  std::array<DataRecord, 4> slots;
  std::size_t next_slot = 0;
};

Records& records() {
  static Records r;
  return r;
}

[[noreturn]] void fail(const std::string& message) { io::runtime_error(kWhere, message); }

double little_endian_double(const unsigned char* p) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// The first `count` values of file record `record` (1-based) of the file at
// `path`.
std::vector<double> read_record(const std::string& path, int record, int count) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    fail("Cannot open file '" + path + "': " + std::strerror(errno));
  }
  std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * 8);
  in.seekg(static_cast<std::streamoff>(record - 1) * static_cast<std::streamoff>(kRecordBytes));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) {
    fail("Cannot read record " + std::to_string(record) + " of file '" + path + "'");
  }
  std::vector<double> values(count);
  for (int i = 0; i < count; ++i) values[i] = little_endian_double(&bytes[i * 8]);
  return values;
}

[[noreturn]] void bad_header(const std::string& path, const char* what) {
  fail("File '" + path + "' has an invalid header: " + what);
}

// A whole number stored as a double, checked to lie in [lo, hi].
int header_whole(const std::string& path, double v, int lo, int hi, const char* what) {
  if (!std::isfinite(v) || v + 1e-9 < lo || v + 1e-9 >= hi + 1.0) bad_header(path, what);
  return whole(v);
}

Header read_header(const std::string& path) {
  Header h;
  h.path = path;
  const auto bad = [&](const char* what) { bad_header(path, what); };
  const std::vector<double> first = read_record(path, 1, 1);
  h.body_count = header_whole(path, first[0], 0, kMaxBodies, "body count");
  const int n = h.body_count;
  const std::vector<double> table = read_record(path, 2, 3 * n + 3);
  h.span_start = table[3 * n];
  h.span_end = table[3 * n + 1];
  h.record_days = table[3 * n + 2];
  if (!std::isfinite(h.span_start) || !std::isfinite(h.span_end) || !(h.span_end > h.span_start))
    bad("span");
  if (!std::isfinite(h.record_days) || !(h.record_days > 0.0)) bad("record length in days");
  const double records = (h.span_end - h.span_start) / h.record_days + 1e-9;
  if (!(records < 1e9)) bad("record count");
  h.records = static_cast<int>(records);

  double values = 2.0;
  for (int i = 1; i <= n; ++i) {
    h.coef_count[i] = header_whole(path, table[n + i - 1], 0, kRecordValues, "coefficient count");
    h.subinterval_count[i] = table[2 * n + i - 1];
    if (h.coef_count[i] == 0) continue;
    const double nsub = h.subinterval_count[i];
    if (!std::isfinite(nsub) || nsub < 1.0 || nsub > kRecordValues || nsub != std::floor(nsub))
      bad("sub-interval count");
    h.coef_offset[i] = header_whole(path, table[i - 1], 3, kRecordValues, "coefficient pointer");
    values = std::trunc(values + h.coef_count[i] * kComponentCount[i] * nsub);
    if (values > kRecordValues) bad("more than 982 values per record");
    // The body's block must lie inside the part of the record that is read.
    const double last = h.coef_offset[i] - 1.0 + h.coef_count[i] * kComponentCount[i] * nsub;
    if (last > kRecordValues) bad("coefficient block beyond the record");
  }
  h.values = static_cast<int>(values);
  for (int i = 1; i <= n; ++i) {
    if (h.coef_count[i] == 0) continue;
    const double last = h.coef_offset[i] - 1.0 +
                        h.coef_count[i] * kComponentCount[i] * h.subinterval_count[i];
    if (last > h.values) bad("coefficient block beyond the values read");
  }
  return h;
}

io::FileCache<Header>& header_cache() {
  static io::FileCache<Header> cache;
  return cache;
}

// The header of the current file; the data records kept are dropped
// whenever it is read again.
const Header& current_header() {
  io::FileCache<Header>& cache = header_cache();
  if (const Header* known = cache.trusted()) return *known;
  const Header& h = cache.get(io::data_file_path(kEphemerisFile, kWhere), read_header);
  Records& r = records();
  if (r.generation != cache.generation()) {
    for (DataRecord& slot : r.slots) slot.number = 0;
    r.generation = cache.generation();
  }
  return h;
}

// The first header.values values of data record k.
const double* data_record(const Header& h, int k) {
  Records& c = records();
  if (io::caches_enabled()) {
    for (const auto& r : c.slots) {
      if (r.number == k) return r.values.data();
    }
  }
  DataRecord& slot = c.slots[c.next_slot];
  c.next_slot = (c.next_slot + 1) % c.slots.size();
  slot.number = 0;
  slot.values = read_record(h.path, k + 2, h.values);
  // A damaged record would otherwise turn into positions that are silently wrong.
  for (double v : slot.values) {
    if (!std::isfinite(v)) {
      fail("Record " + std::to_string(k + 2) + " of file '" + h.path +
           "' holds a value that is not a number");
    }
  }
  slot.number = k;
  return slot.values.data();
}

}  // namespace

ChebyshevResult chebyshevf(double t0, double t1, const double* coef, int n, double t) {
  if ((t - t0) * (t - t1) > 0.0) return {0.0, 0.0, kCoordOutsideSpan};
  if (n < 2 || n > 50) return {0.0, 0.0, kCoordNoSuchBody};
  return series(t0, t1, coef, n, t);
}

namespace {

// The sub-interval of a data record that holds jd, with its coefficients;
// status 0, or the status that refuses it.
struct Series {
  double ta = 0.0, tb = 0.0;  // the sub-interval
  const double* coef = nullptr;
  int status = kCoordOk;
};

Series series_at(const Header& h, const double* buffer, double jd, int body) {
  const int m = kComponentCount[body];
  const double nsub = h.subinterval_count[body];
  const int n = h.coef_count[body];
  Series out;
  if (n == 0) {
    out.status = kCoordNotInFile;
    return out;
  }
  const double d = (buffer[1] - buffer[0]) / nsub;
  const double sd = (jd - buffer[0]) / d + 1e-9;
  // Truncation toward zero: an instant a hair before the record's first date
  // (placed in this record by the allowance above) belongs to sub-interval 0.
  if (!(d > 0.0) || !(sd > -1.0) || !(sd < nsub)) {
    // The data record does not cover the instant.
    out.status = kCoordOutsideSpan;
    return out;
  }
  const int s = static_cast<int>(sd);
  out.ta = buffer[0] + s * d;
  out.tb = out.ta + d;
  // Every component shares the sub-interval, the instant and the number of
  // coefficients, so the checks of chebyshevf come out alike for all of them.
  out.coef = &buffer[h.coef_offset[body] - 1 + s * m * n];
  // The 1e-9 allowance of the record and sub-interval choice can put an
  // instant just before the start of the chosen series; the series is
  // continuous there, so such an instant is evaluated rather than refused.
  const bool just_before = jd < out.ta && out.ta - jd < 1e-6;
  if (!just_before && (jd - out.ta) * (jd - out.tb) > 0.0) {
    out.status = kCoordOutsideSpan;
  } else if (n < 2 || n > 50) {
    out.status = kCoordNoSuchBody;
  }
  return out;
}

}  // namespace

std::uint64_t ephemeris_generation() {
  current_header();
  return header_cache().generation();
}

CoordResult coord(double jd, int body) {
  CoordResult result;
  const bool known_body = body >= 1 && body <= kMaxBodies;
  const int m = known_body ? kComponentCount[body] : 0;
  result.count = (known_body && body <= 11) ? 2 * m : m;

  const Header& h = current_header();

  // A NaN instant fails every comparison; refuse it here like any instant
  // outside the file.
  if (!std::isfinite(jd) || (jd - h.span_start) * (jd - h.span_end) > 0.0) {
    result.status = kCoordOutsideSpan;
    return result;
  }
  if (!known_body || body > h.body_count) {
    result.status = kCoordNoSuchBody;
    return result;
  }
  const int k = whole((jd - h.span_start) / h.record_days) + 1;
  if (k < 1 || k > h.records) {
    result.status = kCoordOutsideSpan;
    return result;
  }
  const Series series = series_at(h, data_record(h, k), jd, body);
  if (series.status != kCoordOk) {
    result.status = series.status;
    return result;
  }
  double value[3], rate[3];
  series_components(series.ta, series.tb, series.coef, h.coef_count[body], m, jd, value, rate);
  for (int c = 0; c < m; ++c) {
    result.state[c] = value[c];
    result.state[c + 3] = rate[c];
  }
  if (body <= 11) {
    for (double& v : result.state) v /= astro::kAuKm;
  } else if (body == 13) {
    for (int c = 0; c < 3; ++c) result.state[c] = astro::scale_angle(result.state[c]);
  }
  return result;
}

namespace {

// The first `count` values of file record `record` (1-based) of an open
// file; false when the file is too short.
bool read_values(std::ifstream& in, int record, int count, std::vector<double>& values) {
  std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * 8);
  in.seekg(static_cast<std::streamoff>(record - 1) * static_cast<std::streamoff>(kRecordBytes));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) return false;
  values.resize(count);
  for (int i = 0; i < count; ++i) values[i] = little_endian_double(&bytes[i * 8]);
  return true;
}

// A whole number stored as a double, in [lo, hi].
bool whole_in(double v, int lo, int hi) {
  return std::isfinite(v) && v == std::floor(v) && v >= lo && v <= hi;
}

}  // namespace

EphemerisSpan ephemeris_span(const std::string& path) {
  EphemerisSpan span;
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    span.problem = std::string("no se puede abrir: ") + std::strerror(errno);
    return span;
  }
  std::vector<double> first, table;
  if (!read_values(in, 1, 2, first)) {
    span.problem = "cabecera incompleta (registro 1)";
    return span;
  }
  // The body count as coord takes it (a hair below a whole number counts).
  if (!std::isfinite(first[0]) || first[0] + 1e-9 < 0.0 || first[0] + 1e-9 >= kMaxBodies + 1.0) {
    span.problem = "cabecera no valida: numero de cuerpos imposible";
    return span;
  }
  const int n = whole(first[0]);
  if (whole_in(first[1], 100, 9999)) span.de_number = static_cast<int>(first[1]);
  if (!read_values(in, 2, 3 * n + 3, table)) {
    span.problem = "cabecera incompleta (registro 2)";
    return span;
  }
  span.first_jd = table[3 * n];
  span.last_jd = table[3 * n + 1];
  if (!std::isfinite(span.first_jd) || !std::isfinite(span.last_jd) ||
      !(span.last_jd > span.first_jd)) {
    span.problem = "cabecera no valida: alcance imposible";
  }
  return span;
}

}  // namespace zembrel::ephem
