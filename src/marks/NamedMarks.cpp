#include "marks/NamedMarks.h"

#include <algorithm>

#include "marks/MarkStore.h"

namespace sonaveld {

Result<std::vector<NamedMark>> TidyMarks(std::vector<NamedMark> marks) {
  std::stable_sort(marks.begin(), marks.end(), [](const NamedMark& a, const NamedMark& b) { return a.frame < b.frame; });
  std::vector<NamedMark> tidy;
  for (NamedMark& mark : marks) {
    if (!tidy.empty() && tidy.back().frame == mark.frame) {
      if (tidy.back().name.empty()) tidy.back().name = std::move(mark.name);
      continue;
    }
    tidy.push_back(std::move(mark));
  }
  if (tidy.size() > static_cast<size_t>(MarkStore::kMaxMarks)) return {Status::Fail(MessageId::kTooManyMarks), {}};
  return {Status::Ok(), std::move(tidy)};
}

std::vector<int64_t> FramesOf(const std::vector<NamedMark>& marks) {
  std::vector<int64_t> frames;
  frames.reserve(marks.size());
  for (const NamedMark& mark : marks) frames.push_back(mark.frame);
  return frames;
}

std::string MarkListText(const std::vector<int64_t>& frames) {
  std::string text;
  for (const int64_t frame : frames) text += std::to_string(frame) + "\r\n";
  return text;
}

}  // namespace sonaveld
