// The label file parser on arbitrary text (the first 3 bytes choose the rate, 1 Hz .. 1 MHz): no
// crash; an accepted file gives ascending distinct marks of at least 1, at most 255; a refusal has
// a message and no marks; and the label file written from the marks reads back the same marks
// with the same names (a tab inside a name written as a space).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "marks/LabelFile.h"

using namespace sonaveld;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t rate = 1 + static_cast<int32_t>((data[0] | data[1] << 8 | data[2] << 16) % 1000000);
  const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);
  const Result<MarkSet> read = ParseLabelFile(text, rate);
  if (!read.ok()) {
    FUZZ_CHECK(!read.status.message().empty(), "a refusal without a message");
    FUZZ_CHECK(read.value.marks.empty(), "a refused file still gives marks");
    return 0;
  }
  const std::vector<NamedMark>& marks = read.value.marks;
  FUZZ_CHECK(marks.size() <= 255, "more than 255 marks accepted");
  for (size_t i = 0; i < marks.size(); ++i) {
    FUZZ_CHECK(marks[i].frame >= 1, "a mark below 1");
    FUZZ_CHECK(i == 0 || marks[i - 1].frame < marks[i].frame, "marks not ascending and distinct");
  }
  const Result<MarkSet> again = ParseLabelFile(LabelFileText(marks, rate), rate);
  FUZZ_CHECK(again.ok(), "the written label file is refused");
  FUZZ_CHECK(again.value.marks.size() == marks.size(), "the written label file gives other marks");
  for (size_t i = 0; i < marks.size(); ++i) {
    std::string name = marks[i].name;
    for (char& c : name) c = c == '\t' ? ' ' : c;
    FUZZ_CHECK(again.value.marks[i] == (NamedMark{marks[i].frame, name}), "a mark or name does not read back");
  }
  return 0;
}
