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
// Cost: the file is read in blocks of 64 KB into one buffer, and each
// block's lines are taken in one pass over chunks of 64 characters.  A
// chunk's characters are classed into bit masks (line ends, blanks, digits,
// points, signs), all sixty-four at once with AVX-512, thirty-two at a time
// with AVX2, sixteen with SSE2 (the widest the processor has, chosen when
// the program starts); the tokens are checked on the masks all at once.  Then the
// chunk is taken a line at a time: of the token starts before a line end,
// only those of the values kept are visited and converted, and the others
// only counted (a population count), which is how a record cut short is
// found.  A kept real is the correctly rounded double of its decimal digits,
// as the list-directed reader gives it.
//
// The classifications give the same masks, bit for bit; plain_scan()
// tells which one is in use and set_plain_scan() chooses another that the
// processor has (the tests run each).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zembrel::io {

// The character classification of the reader.
enum class PlainScan { sse2, avx2, avx512 };
bool plain_scan_available(PlainScan scan);
PlainScan plain_scan();
bool set_plain_scan(PlainScan scan);  // false, and no change, when not available

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
// What the first pass over a block of lines keeps for the second: for each
// chunk of 64 characters its token starts (a bit each) and the number of
// token starts before it, and where each line ends.
struct BlockMasks {
  std::vector<std::uint64_t> starts;
  std::vector<std::uint32_t> tokens_before;
  std::vector<std::uint32_t> line_ends;
  std::size_t lines = 0;
};

class PlainReader {
 public:
  PlainReader(const std::string& path, const PlainLayout& layout, int max_records);
  ~PlainReader();
  PlainReader(const PlainReader&) = delete;
  PlainReader& operator=(const PlainReader&) = delete;

  bool next(PlainRecord& r);
  bool taken() const { return taken_; }

 private:
  bool fill();  // the records of the next block of complete lines; false at the end or on failure

  int fd_ = -1;
  PlainLayout layout_;
  int max_records_;
  std::vector<char> block_;
  BlockMasks masks_;
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
