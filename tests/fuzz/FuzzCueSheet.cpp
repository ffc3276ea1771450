// The cue sheet parser on arbitrary text (the first 4 bytes choose the rate): no crash; an accepted
// sheet gives ascending distinct marks above frame 1, at most 255; a refusal has a message and no
// marks; and the sheet written from the marks reads back each mark at the start of its 75th of a
// second, never later and at most the reported shift earlier, as the rules compute it.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "marks/CueSheet.h"

using namespace sonaveld;

namespace {

// The mark a cue sheet holds for mark: its time in whole 75ths of a second, back in frames.
int64_t OnCueGrid(int64_t mark, int32_t rate) {
  const __int128 c = static_cast<__int128>(mark - 1) * 75 / rate;
  return static_cast<int64_t>(c / 75 * rate + c % 75 * rate / 75) + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint32_t raw = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
  const int32_t rate = 1 + static_cast<int32_t>(raw % 0x7FFFFFFE);
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
  const Result<MarkSet> read = ParseCueSheet(text, rate, "a.wav");
  if (!read.ok()) {
    FUZZ_CHECK(!read.status.message().empty(), "a refusal without a message");
    FUZZ_CHECK(read.value.marks.empty(), "a refused sheet still gives marks");
    return 0;
  }
  const std::vector<NamedMark>& marks = read.value.marks;
  FUZZ_CHECK(marks.size() <= 255, "more than 255 marks accepted");
  std::set<int64_t> expected;
  for (size_t i = 0; i < marks.size(); ++i) {
    FUZZ_CHECK(marks[i].frame >= 2, "a mark at frame 1 or below");
    FUZZ_CHECK(i == 0 || marks[i - 1].frame < marks[i].frame, "marks not ascending and distinct");
    if (const int64_t back = OnCueGrid(marks[i].frame, rate); back > 1) expected.insert(back);
  }
  const CueSheetText sheet = BuildCueSheet(marks, rate, "a.wav", read.value.piece0Name);
  const Result<MarkSet> again = ParseCueSheet(sheet.text, rate, "a.wav");
  FUZZ_CHECK(again.ok(), "the written cue sheet is refused");
  std::set<int64_t> got;
  for (const NamedMark& mark : again.value.marks) got.insert(mark.frame);
  FUZZ_CHECK(got == expected, "the written cue sheet gives other marks than the 75ths of a second");
  for (const NamedMark& mark : marks) {
    FUZZ_CHECK(mark.frame - OnCueGrid(mark.frame, rate) <= sheet.largestShift, "a shift above the one reported");
  }
  return 0;
}
