#include "astro/time_scales.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/constants.h"
#include "io/data_path.h"
#include "io/file_cache.h"
#include "io/format.h"
#include "io/plain_records.h"
#include "io/record_io.h"
#include "io/stops.h"

namespace zembrel::astro {

namespace {

constexpr const char* kWhere = "time_scales";

// One table: the Julian date of each entry at 0 h and its value in seconds.
struct Table {
  std::vector<double> jd;
  std::vector<double> value;
  bool increasing = true;
  int last_year = 0, last_month = 0, last_day = 0;  // the date of the last entry appended
  void reserve(std::size_t n) {
    jd.reserve(n);
    value.reserve(n);
  }
};

// Appends an entry.  The Julian date of the day after the previous entry's,
// in the same month, is that date plus one, exactly (the calendar changes
// only in October 1582).
void append(Table& t, int year, int month, int day, double value) {
  double jd;
  if (!t.jd.empty() && year == t.last_year && month == t.last_month && day == t.last_day + 1 && year > 1583) {
    jd = t.jd.back() + 1.0;
  } else {
    jd = julian_date(year, month, day, 0.0);
  }
  t.jd.push_back(jd);
  t.value.push_back(value);
  t.last_year = year;
  t.last_month = month;
  t.last_day = day;
}

// Layout of a table file: header records to skip, integers then reals per
// entry (the first three integers are year, month, day), and which real
// holds the value kept.
struct Layout {
  int header_records;
  int integers;
  int kept_real;
};

// year month day MJD, x y UT1-UTC and nine more reals.
constexpr Layout kIersLayout{12, 4, 2};
// year month day, two reals, Delta T, one more real.
constexpr Layout kDeltaTLayout{1, 3, 2};

// One entry through the list-directed reader: its integers and its reals.
struct ListedEntry {
  int i[4] = {0, 0, 0, 0};
  double r[12] = {};
};

io::ReadResult read_listed_entry(io::ListReader& reader, const Layout& layout, ListedEntry& e) {
  int* i = e.i;
  double* r = e.r;
  return layout.integers == 4
             ? reader.read({&i[0], &i[1], &i[2], &i[3], &r[0], &r[1], &r[2], &r[3], &r[4], &r[5],
                            &r[6], &r[7], &r[8], &r[9], &r[10], &r[11]})
             : reader.read({&i[0], &i[1], &i[2], &r[0], &r[1], &r[2], &r[3]});
}

// The entries of any table, through the list-directed reader.
void read_listed_entries(const std::string& text, const std::string& name, const Layout& layout,
                         Table& t) {
  std::istringstream in(text);
  io::ListReader reader(in);
  for (int i = 0; i < layout.header_records; ++i) {
    if (!reader.skip_record()) break;
  }
  for (;;) {
    ListedEntry e;
    const int* i = e.i;
    const double* r = e.r;
    const io::ReadResult result = read_listed_entry(reader, layout, e);
    // The table ends at a record boundary.  A damaged entry (a value that is
    // not a number, or an entry cut short by the end of the file) stops the
    // program instead of entering the table as zeros.
    if (result.status == io::ReadStatus::end_of_file && result.item <= 1) break;
    if (result.status != io::ReadStatus::ok) {
      io::runtime_error(kWhere, "data file " + name + ", entry " + std::to_string(t.jd.size() + 1) +
                                    ": " + io::read_error_message(result));
    }
    if (static_cast<int>(t.jd.size()) >= kMaxTableEntries) {
      io::runtime_error(kWhere, "data file " + name + " holds more than " +
                                    std::to_string(kMaxTableEntries) + " entries");
    }
    append(t, i[0], i[1], i[2], r[layout.kept_real]);
  }
}

Table load_table(const std::string& name, const Layout& layout) {
  Table t;
  // Room for the entries a file of this size can hold (at least two
  // characters to a value).
  const int values = layout.integers == 4 ? 16 : 7;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(name, ec);
  if (!ec) t.reserve(std::min<std::uintmax_t>(kMaxTableEntries + 1, size / (2 * values) + 1));

  io::PlainReader reader(name, {layout.header_records, values, layout.integers, layout.kept_real},
                         kMaxTableEntries);
  for (io::PlainRecord r; reader.next(r);) append(t, r.integer[0], r.integer[1], r.integer[2], r.real);
  if (!reader.taken()) {
    // Any other form, or a damaged entry: the list-directed reader, with its
    // reports.
    t = Table{};
    errno = 0;
    std::ifstream file(name);
    if (!file.is_open()) io::runtime_error(kWhere, io::cannot_open_message(name));
    std::ostringstream whole;
    whole << file.rdbuf();
    read_listed_entries(std::move(whole).str(), name, layout, t);
  }
  if (t.jd.empty()) io::runtime_error(kWhere, "data file " + name + " holds no entries");
  for (std::size_t i = 1; i < t.jd.size(); ++i) {
    if (!(t.jd[i - 1] <= t.jd[i])) t.increasing = false;
  }
  return t;
}

// Value at jd: at or after the last entry's date the last value; otherwise
// linear interpolation in the interval JD_i <= jd < JD_(i+1) (the last such
// interval when the dates are not in order); before every interval the first
// value.
TableValue interpolate(const Table& t, double jd) {
  const std::size_t n = t.jd.size();
  if (jd >= t.jd[n - 1]) return {t.value[n - 1], TableRange::after};
  std::size_t found = n;
  if (t.increasing) {
    const auto it = std::upper_bound(t.jd.begin(), t.jd.end(), jd);
    if (it != t.jd.begin() && it != t.jd.end()) found = static_cast<std::size_t>(it - t.jd.begin()) - 1;
  } else {
    for (std::size_t i = n - 1; i-- > 0;) {
      if (t.jd[i] <= jd && jd < t.jd[i + 1]) {
        found = i;
        break;
      }
    }
  }
  if (found == n) return {t.value[0], TableRange::before};
  const std::size_t i = found;
  const double f = (jd - t.jd[i]) / (t.jd[i + 1] - t.jd[i]);
  return {t.value[i] + (t.value[i + 1] - t.value[i]) * f, TableRange::inside};
}

}  // namespace

TimeScales time_scales(double jd_utc) {
  static io::FileCache<Table> iers_cache;
  static io::FileCache<Table> delta_t_cache;

  const Table& iers = iers_cache.get(io::data_file_path("delta_t.iers", kWhere),
                                     [](const std::string& p) { return load_table(p, kIersLayout); });
  // Before the daily series begins (1962) there is no UTC to correct: the
  // time given is UT itself, and UT1 - UTC is taken as 0 (the utilities do
  // not warn).
  TimeScales s;
  s.ut1_utc = interpolate(iers, jd_utc);
  if (s.ut1_utc.range == TableRange::before) s.ut1_utc.seconds = 0.0;
  s.jd_ut1 = jd_utc + s.ut1_utc.seconds / kSecondsPerDay;

  const Table& dat = delta_t_cache.get(io::data_file_path("delta_t.dat", kWhere),
                                       [](const std::string& p) { return load_table(p, kDeltaTLayout); });
  s.delta_t = interpolate(dat, jd_utc);
  s.jd_tt = s.jd_ut1 + s.delta_t.seconds / kSecondsPerDay;
  s.jd_tdb = tt_to_tdb(s.jd_tt);
  return s;
}

double tt_to_tdb(double jd_tt) {
  const double g = degree_to_radian(kTdbAnomalyAtJ2000 + kTdbAnomalyRate * (jd_tt - kJ2000));
  return jd_tt + (kTdbAmplitude1 * std::sin(g) + kTdbAmplitude2 * std::sin(2.0 * g)) / kSecondsPerDay;
}

namespace {

// The date from which a table's header says its values are predictions: the
// date after "PREDICTIONS FROM " (yyyy-mm-dd), in any case.
std::optional<CalendarDate> predictions_in_header(const std::string& header) {
  std::string upper = header;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string key = "PREDICTIONS FROM ";
  const std::size_t at = upper.find(key);
  if (at == std::string::npos) return std::nullopt;
  int year = 0, month = 0, day = 0;
  if (std::sscanf(header.c_str() + at + key.size(), "%4d-%2d-%2d", &year, &month, &day) != 3 ||
      month < 1 || month > 12 || day < 1 || day > 31) {
    return std::nullopt;
  }
  return CalendarDate{year, month, day, 0.0};
}

// How a table marks its predictions: a phrase in its header, or the source
// flag of each entry (the last value, 4 for a predicted entry).
enum class PredictionMark { header, source_flag };
constexpr double kPredictedFlag = 4.0;

TableSpan table_span(const std::string& path, const Layout& layout, PredictionMark mark) {
  TableSpan span;
  errno = 0;
  std::ifstream file(path);
  if (!file.is_open()) {
    span.problem = std::string("no se puede abrir: ") + std::strerror(errno);
    return span;
  }
  std::string header, line;
  for (int i = 0; i < layout.header_records && std::getline(file, line); ++i) header += line + '\n';
  if (mark == PredictionMark::header) span.predicted_from = predictions_in_header(header);
  io::ListReader reader(file);
  for (;;) {
    ListedEntry e;
    const io::ReadResult result = read_listed_entry(reader, layout, e);
    if (result.status == io::ReadStatus::end_of_file && result.item <= 1) break;
    if (result.status != io::ReadStatus::ok) {
      span.problem =
          "entrada " + std::to_string(span.entries + 1) + " no valida: " + io::read_error_message(result);
      return span;
    }
    const CalendarDate date{e.i[0], e.i[1], e.i[2], 0.0};
    if (span.entries == 0) span.first = date;
    span.last = date;
    ++span.entries;
    if (mark == PredictionMark::source_flag && !span.predicted_from &&
        e.r[layout.kept_real + 1] == kPredictedFlag) {
      span.predicted_from = date;
    }
  }
  if (span.entries == 0) span.problem = "ninguna entrada";
  return span;
}

}  // namespace

TableSpan ut1_table_span(const std::string& path) {
  return table_span(path, kIersLayout, PredictionMark::header);
}

TableSpan delta_t_table_span(const std::string& path) {
  return table_span(path, kDeltaTLayout, PredictionMark::source_flag);
}

}  // namespace zembrel::astro
