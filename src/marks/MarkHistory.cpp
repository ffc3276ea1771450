#include "marks/MarkHistory.h"

#include <utility>

namespace sonaveld {

void MarkHistory::Reset(const MarkStore& now) {
  undo_.clear();
  redo_.clear();
  current_ = now;
}

bool MarkHistory::Commit(const MarkStore& now) {
  if (now == current_) return false;
  undo_.push_back(std::move(current_));
  if (undo_.size() > kDepth) undo_.pop_front();
  redo_.clear();
  current_ = now;
  return true;
}

bool MarkHistory::Undo(MarkStore& store) {
  if (undo_.empty()) return false;
  redo_.push_back(std::move(current_));
  current_ = std::move(undo_.back());
  undo_.pop_back();
  store = current_;
  return true;
}

bool MarkHistory::Redo(MarkStore& store) {
  if (redo_.empty()) return false;
  undo_.push_back(std::move(current_));
  current_ = std::move(redo_.back());
  redo_.pop_back();
  store = current_;
  return true;
}

}  // namespace sonaveld
