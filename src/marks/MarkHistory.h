#pragma once
#include <cstddef>
#include <deque>

#include "marks/MarkStore.h"

namespace sonaveld {

// The undo and redo history of the marks, their names and the keep-head setting, kept as whole
// states of the store (at most 255 marks, so a state is small). The window commits the store after
// each command; a commit that changed anything is one step. The oldest steps go beyond kDepth.
class MarkHistory {
 public:
  static constexpr std::size_t kDepth = 200;

  // Forgets every step; now is the state the history starts from (what opening a file does).
  void Reset(const MarkStore& now);
  // Takes now as the state after a command: when it differs from the last state, that one becomes
  // an undo step and the redo steps go. True when a step was made.
  bool Commit(const MarkStore& now);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Puts store back to the state before the last step (Undo) or forward again (Redo); false, and
  // store untouched, when there is no such step.
  bool Undo(MarkStore& store);
  bool Redo(MarkStore& store);

 private:
  std::deque<MarkStore> undo_;
  std::deque<MarkStore> redo_;
  MarkStore current_;
};

}  // namespace sonaveld
