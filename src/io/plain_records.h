// A quick reader for text tables whose records are plain numbers: the time
// tables "delta_t.iers" and "delta_t.dat", tens of thousands of records of
// up to sixteen numbers, read at the first calculation of every run.
//
// The list-directed reader (io/record_io.h) reads any record a table may
// hold, a character at a time.  This reader takes only the common form and
// gives the same values wherever it takes a file; any other form it leaves
// to the list-directed reader:
//
// - after the header lines, one record to a line, its values separated by
//   blanks (spaces, tabs, a carriage return before the line end); values
//   after the record's last one are dropped with the rest of the line, as
//   the list-directed reader drops them, and empty lines are passed over;
// - every value of a record a plain number: an optional sign, then digits
//   with at most one decimal point among them; the integers without a point
//   and within 32 bits.
//
// A record cut short (by the line end or the end of the file), a value in
// any other form (an exponent, a comma, a repeat count, a letter: the
// damaged records) or a line longer than the reader's block makes it give
// up, and the caller reads the file with the list-directed reader, which
// reports what it finds.
//
// Cost: the file is read in blocks into one buffer.  The characters of a
// block's lines are classed 64 at a time into bit masks (line ends, blanks,
// digits, points, signs; with SSE2 sixteen characters at a time), the
// tokens are checked on the masks all at once, and only the values kept are
// converted.  A kept real is the correctly rounded double of its decimal
// digits, as the list-directed reader gives it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zembrel::io {

struct PlainLayout {
  int header_lines = 0;  // lines skipped before the first record
  int values = 0;        // numbers in a record (at most 16)
  int integers = 0;      // the first values are integers (at most 4)
  int kept_real = 0;     // which value after the integers is kept (0-based)
};

// A record as kept: its integers and the one real kept.
struct PlainRecord {
  int integer[4] = {0, 0, 0, 0};
  double real = 0.0;
};

// The records of a file, one by one:
//   PlainReader reader(path, layout, max_records);
//   PlainRecord r;
//   while (reader.next(r)) ...
//   if (!reader.taken()) ... read the file otherwise ...
// taken() is false when the file cannot be read this way, or cannot be
// opened, or holds more than max_records records; the caller then discards
// the records it was given.
class PlainReader {
 public:
  PlainReader(const std::string& path, const PlainLayout& layout, int max_records);
  ~PlainReader();
  PlainReader(const PlainReader&) = delete;
  PlainReader& operator=(const PlainReader&) = delete;

  bool next(PlainRecord& r);
  bool taken() const { return taken_; }

 private:
  bool fill();  // the next block of complete lines; false at the end or on failure
  bool scan(std::size_t n);  // checks the block's first n characters, all its lines
  bool take_records();       // the records of the block's lines

  int fd_ = -1;
  PlainLayout layout_;
  int max_records_;
  std::vector<char> block_;
  std::vector<std::uint64_t> starts_, ends_;  // a bit for each character: token starts, line ends
  std::size_t held_ = 0;   // characters in the block
  std::size_t lines_ = 0;  // characters of its complete lines
  bool at_end_ = false;    // of the file
  bool taken_ = true;
  int header_left_;
  std::vector<PlainRecord> records_;  // of the block's lines
  std::size_t next_record_ = 0;
  int taken_records_ = 0;
};

}  // namespace zembrel::io
