#include "marks/MarkStore.h"

#include <algorithm>

namespace sonaveld {
namespace {

std::vector<std::string> AsLines(const std::vector<int64_t>& values) {
  std::vector<std::string> lines;
  lines.reserve(values.size());
  for (int64_t v : values) lines.push_back(std::to_string(v));
  return lines;
}

}  // namespace

MarkStore::MarkStore() { Reset(); }

void MarkStore::Reset() {
  slots_.fill(0);
  slots_[0] = 1;
  added_.clear();
  names_.clear();
  piece0Name_.clear();
}

bool MarkStore::Contains(int64_t pos) const {
  return std::find(slots_.begin() + 1, slots_.begin() + 1 + Count(), pos) != slots_.begin() + 1 + Count();
}

Status MarkStore::Add(int64_t pos, const std::string& name) {
  if (pos < 1) return Status::Fail(MessageId::kNotMarkPosition, std::to_string(pos));
  if (Contains(pos)) return Status::Fail(MessageId::kAlreadyMarked);
  if (Count() >= kMaxMarks) return Status::Fail(MessageId::kTooManyMarks);
  added_.push_back(pos);
  FillSlotsFrom(added_);
  if (!name.empty()) names_[pos] = name;
  return Status::Ok();
}

int MarkStore::DeleteWhere(const std::function<bool(int64_t)>& under) {
  std::vector<int64_t> kept;
  for (int64_t mark : Sorted()) {
    if (!under(mark)) kept.push_back(mark);
    else names_.erase(mark);
  }
  const int removed = Count() - static_cast<int>(kept.size());
  added_ = kept;
  FillSlotsFrom(kept);
  return removed;
}

void MarkStore::DeleteAll() { Reset(); }

void MarkStore::ReplaceAll(const std::vector<int64_t>& marks) {
  added_ = marks;
  FillSlotsFrom(marks);
  names_.clear();
  piece0Name_.clear();
}

void MarkStore::ReplaceAll(const MarkSet& set) {
  ReplaceAll(FramesOf(set.marks));
  for (const NamedMark& mark : set.marks) {
    if (!mark.name.empty()) names_[mark.frame] = mark.name;
  }
  piece0Name_ = set.piece0Name;
}

std::string MarkStore::NameOf(int64_t pos) const {
  const auto named = names_.find(pos);
  return named == names_.end() ? std::string() : named->second;
}

bool MarkStore::SetName(int64_t pos, const std::string& name) {
  if (!Contains(pos)) return false;
  if (name.empty()) names_.erase(pos);
  else names_[pos] = name;
  return true;
}

std::vector<NamedMark> MarkStore::Named() const {
  std::vector<NamedMark> marks;
  for (const int64_t frame : Sorted()) marks.push_back({frame, NameOf(frame)});
  return marks;
}

std::vector<std::string> MarkStore::Memo1() const { return AsLines(added_); }
std::vector<std::string> MarkStore::Memo2() const { return AsLines(Sorted()); }

void MarkStore::FillSlotsFrom(std::vector<int64_t> marks) {
  std::sort(marks.begin(), marks.end());
  slots_.fill(0);
  slots_[0] = 1;
  std::copy(marks.begin(), marks.end(), slots_.begin() + 1);
}

}  // namespace sonaveld
