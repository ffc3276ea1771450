#include <gtest/gtest.h>

#include <sstream>

#include "marks/MarkHistory.h"

namespace sonaveld {
namespace {

// The reference: one timeline of states with a position in it, cut after the position by a change.
struct Timeline {
  std::vector<MarkStore> states{MarkStore{}};
  size_t at = 0;
  void Change(const MarkStore& now) {
    if (now == states[at]) return;
    states.resize(at + 1);
    states.push_back(now);
    ++at;
  }
};

// One command of the window on the store, committed; "u" and "r" are undo and redo.
void Apply(const std::string& op, MarkStore& store, MarkHistory& history, Timeline& ref) {
  std::istringstream in(op);
  std::string verb;
  int64_t frame = 0;
  in >> verb >> frame;
  const bool back = verb == "u" && ref.at > 0;
  const bool forward = verb == "r" && ref.at + 1 < ref.states.size();
  if (verb == "u") {
    EXPECT_EQ(history.Undo(store), back) << op;
  }
  if (verb == "r") {
    EXPECT_EQ(history.Redo(store), forward) << op;
  }
  ref.at = ref.at + (forward ? 1 : 0) - (back ? 1 : 0);
  if (verb == "u" || verb == "r") return;
  if (verb == "add") (void)store.Add(frame);
  if (verb == "del") store.DeleteWhere([&](int64_t m) { return m == frame; });
  if (verb == "clear") store.DeleteAll();
  if (verb == "keep") store.SetKeepHead(!store.KeepHead());
  if (verb == "name") store.SetName(frame, "n" + std::to_string(frame));
  if (verb == "read") store.ReplaceAll(MarkSet{{{frame, "x"}, {frame + 5, ""}}, "head", {}});
  history.Commit(store);
  ref.Change(store);
}

TEST(MarkHistory, StepSequencesFollowOneTimeline) {
  const std::vector<std::vector<std::string>> table = {
      {"add 100", "add 50", "u", "u", "u", "r", "r", "r"},
      {"add 100", "name 100", "u", "r", "del 100", "u", "u", "keep", "r"},  // a change clears redo
      {"add 10", "add 20", "clear", "u", "read 5", "u", "u", "r", "r"},
      {"add 10", "add 10", "del 99", "u", "keep", "keep", "u", "u", "r", "r", "r"},  // no-ops make no step
      {"add 3", "add 1", "add 2", "del 1", "u", "r", "u", "u", "u", "u", "r"},       // the adding order too
  };
  for (const auto& ops : table) {
    MarkStore store;
    MarkHistory history;
    history.Reset(store);
    Timeline ref;
    for (const std::string& op : ops) {
      Apply(op, store, history, ref);
      ASSERT_TRUE(store == ref.states[ref.at]) << op;
      EXPECT_EQ(history.CanUndo(), ref.at > 0) << op;
      EXPECT_EQ(history.CanRedo(), ref.at + 1 < ref.states.size()) << op;
    }
  }
}

TEST(MarkHistory, KeepsAtLeastAHundredStepsAndResetForgetsThem) {
  MarkStore store;
  MarkHistory history;
  history.Reset(store);
  const int steps = static_cast<int>(MarkHistory::kDepth) + 30;
  for (int i = 1; i <= steps; ++i) {
    store.SetName(1, {});
    if (i <= MarkStore::kMaxMarks) (void)store.Add(i * 10);
    else store.SetKeepHead(!store.KeepHead());
    ASSERT_TRUE(history.Commit(store));
  }
  int undone = 0;
  while (history.Undo(store)) ++undone;
  EXPECT_GE(undone, 100);
  EXPECT_EQ(undone, static_cast<int>(MarkHistory::kDepth));
  EXPECT_EQ(store.Count(), steps - undone);  // the oldest steps went, the rest came back in order
  history.Reset(store);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());
}

}  // namespace
}  // namespace sonaveld
