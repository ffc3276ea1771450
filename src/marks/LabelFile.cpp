#include "marks/LabelFile.h"

#include <optional>

#include "marks/MarkTime.h"
#include "marks/TextLines.h"

namespace sonaveld {
namespace {

// The field of line up to the next tab (or its end), line moved past that tab.
std::string_view NextField(std::string_view& line) {
  const size_t tab = line.find('\t');
  const std::string_view field = line.substr(0, tab);
  line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
  return field;
}

// The marks of one label line: false when it is not a label.
bool AddLabel(std::string_view line, int32_t rate, std::vector<NamedMark>& marks) {
  const bool hasName = line.find('\t') != line.rfind('\t');
  const std::optional<int64_t> start = FrameAtSecondsText(TrimBlanks(NextField(line)), rate);
  const std::optional<int64_t> end = FrameAtSecondsText(TrimBlanks(NextField(line)), rate);
  if (!start || !end || *end < *start) return false;
  // A region's end frame can equal its start frame when the two times fall in one frame.
  marks.push_back({*start, hasName ? std::string(line) : std::string()});
  if (*end > *start) marks.push_back({*end, {}});
  return true;
}

// A name as one label line can hold it: tabs and line breaks become spaces.
std::string LabelName(const std::string& name) {
  std::string clean = name;
  for (char& c : clean) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return clean;
}

}  // namespace

Result<MarkSet> ParseLabelFile(std::string_view text, int32_t rate) {
  std::vector<NamedMark> marks;
  const std::vector<std::string_view> lines = SplitLines(text, true);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (TrimBlanks(line).empty()) continue;
    // A spectral label's frequency range follows its label on a line of its own.
    if (line.starts_with("\\\t") && i > 0) continue;
    if (!AddLabel(line, rate, marks)) {
      return {Status::Fail(MessageId::kNotLabelLine, std::to_string(i + 1)), {}};
    }
  }
  Result<std::vector<NamedMark>> tidy = TidyMarks(std::move(marks));
  if (!tidy.ok()) return {tidy.status, {}};
  MarkSet set;
  set.marks = std::move(tidy.value);
  return {Status::Ok(), std::move(set)};
}

std::string LabelFileText(const std::vector<NamedMark>& marks, int32_t rate) {
  std::string text;
  for (const NamedMark& mark : marks) {
    const std::string start = SecondsTextOfFrame(mark.frame, rate);
    text += start + '\t' + start + '\t' + LabelName(mark.name) + '\n';
  }
  return text;
}

}  // namespace sonaveld
