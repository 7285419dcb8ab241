// libFuzzer target for the readers of the record I/O layer: the
// list-directed reader (keyboard answers, time tables), the formatted
// reader (catalogue and nutation records) and the quick reader of the time
// tables, which must give the list-directed reader's records to the bit for
// every text it takes, with each character classification the processor
// has.  Built with clang by `make fuzz-readers`; any crash, sanitizer report
// or broken invariant is a fault.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "io/plain_records.h"
#include "io/record_io.h"

namespace io = zembrel::io;

namespace {

// Formats the program reads its data files with.
constexpr const char* kFormats[] = {
    "(i2,1x,a15,2x,D15.9,4x,D14.8,5x,D10.2,9x,D10.2,4x,D8.2,            3x,D9.2)",
    "(5i3,8x,2f10.1,1x,f9.1,f10.1)",
    "(i5,2x,f10.4)",
    "(3(f8.3,1x),a4)",
};

void check(bool ok) {
  if (!ok) std::abort();
}

// The records of `text` as the list-directed reader reads a time table:
// after the header lines, `values` numbers at a time, the integers first,
// until the end of the text; false where it stops at a value.
bool list_records(const std::string& text, const io::PlainLayout& layout, std::vector<io::PlainRecord>& out) {
  std::istringstream in(text);
  io::ListReader reader(in);
  for (int i = 0; i < layout.header_lines; ++i) reader.skip_record();
  for (;;) {
    io::PlainRecord r;
    double reals[12] = {};
    std::vector<io::Target> t;
    for (int i = 0; i < layout.integers; ++i) t.push_back(&r.integer[i]);
    for (int i = 0; i < layout.values - layout.integers; ++i) t.push_back(&reals[i]);
    // The reads of the two table layouts.
    const io::ReadResult res =
        layout.values == 16 ? reader.read({t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9], t[10],
                                           t[11], t[12], t[13], t[14], t[15]})
                            : reader.read({t[0], t[1], t[2], t[3], t[4], t[5], t[6]});
    if (res.status == io::ReadStatus::end_of_file && res.item <= 1) return true;
    if (res.status != io::ReadStatus::ok) return false;
    r.real = reals[layout.kept_real];
    out.push_back(r);
  }
}

void check_quick_reader(const std::string& text, bool iers) {
  const io::PlainLayout layout = iers ? io::PlainLayout{2, 16, 4, 2} : io::PlainLayout{1, 7, 3, 2};
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("reader-fuzz-table-" + std::to_string(::getpid()))).string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  check(f != nullptr && std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fclose(f) == 0);
  std::vector<io::PlainRecord> listed;
  const bool listed_ok = list_records(text, layout, listed);
  const io::PlainScan chosen = io::plain_scan();
  for (io::PlainScan scan : {io::PlainScan::sse2, io::PlainScan::avx2, io::PlainScan::avx512}) {
    if (!io::set_plain_scan(scan)) continue;
    io::PlainReader quick(path, layout, 100000);
    std::vector<io::PlainRecord> read;
    for (io::PlainRecord r; quick.next(r);) read.push_back(r);
    if (!quick.taken()) continue;
    check(listed_ok && read.size() == listed.size());
    for (std::size_t k = 0; k < read.size(); ++k) {
      for (int i = 0; i < 4; ++i) check(read[k].integer[i] == listed[k].integer[i]);
      check(std::bit_cast<std::uint64_t>(read[k].real) == std::bit_cast<std::uint64_t>(listed[k].real));
    }
  }
  io::set_plain_scan(chosen);
  std::remove(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0];
  const std::uint8_t shape = data[1];
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  if (mode % 3 == 2) {
    check_quick_reader(text, (shape & 1) != 0);
  } else if (mode % 3 == 0) {
    // List-directed: reads of 1 to 8 items, integers or reals by the bits of
    // `shape`, until the end of the input; with bit 6 of `mode`, refusing a
    // decimal comma (the keyboard's reads), which must leave the targets
    // as they were.
    std::istringstream in(text);
    io::ListReader reader(in);
    const int count = 1 + (mode / 3) % 8;
    const bool comma = (mode & 0x40) != 0;
    for (int reads = 0; reads < 10000; ++reads) {
      int ints[8] = {};
      double reals[8] = {};
      io::Target t[8] = {&ints[0], &ints[1], &ints[2], &ints[3], &ints[4], &ints[5], &ints[6], &ints[7]};
      for (int i = 0; i < 8; ++i) {
        if (shape & (1u << i)) t[i] = &reals[i];
      }
      io::ReadResult r;
      switch (count) {
        case 1: r = reader.read({t[0]}, comma); break;
        case 2: r = reader.read({t[0], t[1]}, comma); break;
        case 3: r = reader.read({t[0], t[1], t[2]}, comma); break;
        default: r = reader.read({t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7]}, comma); break;
      }
      check(r.item >= 0 && r.item <= 8);
      if (r.status == io::ReadStatus::decimal_comma) {
        check(comma && r.number.find('.') != std::string::npos);
        for (int i = 0; i < 8; ++i) check(ints[i] == 0 && reals[i] == 0.0);
      }
      if (r.status != io::ReadStatus::ok) check(!io::read_error_message(r).empty());
      if (r.status == io::ReadStatus::end_of_file) break;
    }
  } else {
    // Formatted: one record read with one of the data-file formats.
    const char* format = kFormats[(mode / 3) % (sizeof kFormats / sizeof *kFormats)];
    int i[5] = {};
    double d[8] = {};
    std::string s;
    const std::string_view record(text);
    io::ReadResult r;
    switch ((mode / 3) % 4) {
      case 0:
        r = io::read_formatted(format, record, {&i[0], &s, &d[0], &d[1], &d[2], &d[3], &d[4], &d[5]});
        check(s.size() <= 15);
        break;
      case 1:
        r = io::read_formatted(format, record, {&i[0], &i[1], &i[2], &i[3], &i[4], &d[0], &d[1], &d[2], &d[3]});
        break;
      case 2: r = io::read_formatted(format, record, {&i[0], &d[0]}); break;
      default: r = io::read_formatted(format, record, {&d[0], &d[1], &d[2], &s}); break;
    }
    if (r.status != io::ReadStatus::ok) check(!io::read_error_message(r).empty());
  }
  return 0;
}
