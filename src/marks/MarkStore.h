#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/Status.h"
#include "marks/NamedMarks.h"

namespace sonaveld {

// The marks of the open document: the slots 0..255 (slot 0 holds 1, the first frame; slots 1..n the
// marks ascending; 0 where empty), the list in the order of adding (Memo1) and the sorted list
// (Memo2), kept in step by every command; the name each mark carries ("" unnamed) and that of piece
// 00, the stretch before the first mark; and the keep-head setting. Positions are 1-based frames.
// Names never reach the lists or the mark list file: those stay frame numbers only.
class MarkStore {
 public:
  static constexpr int kMaxMarks = 255;

  MarkStore();

  // What opening a file does: slot 0 = 1, slots 1..255 = 0, both lists empty, no names. Keep head
  // stays.
  void Reset();
  // Adds a mark at frame pos, named name ("" unnamed). Refused with the store's message when pos
  // is below 1, already marked, or the 256th mark; the store is then unchanged.
  Status Add(int64_t pos, const std::string& name = {});
  // Removes every mark for which under(mark) is true, with its name; afterwards Memo1 is ascending
  // like Memo2. Returns the number removed.
  int DeleteWhere(const std::function<bool(int64_t)>& under);
  // Removes all marks, their names and piece 00's name.
  void DeleteAll();
  // Replaces all marks by marks, which must be ascending, distinct, at least 1 and at most 255;
  // every name goes (piece 00's too).
  void ReplaceAll(const std::vector<int64_t>& marks);
  // Replaces all marks and names by those of set (as a reader gives it: ascending, distinct, at
  // most 255), piece 00's name included.
  void ReplaceAll(const MarkSet& set);

  // The name of the mark at pos; "" when it is unnamed or there is no mark there.
  std::string NameOf(int64_t pos) const;
  // Names the mark at pos ("" takes its name away); false when there is no mark at pos.
  bool SetName(int64_t pos, const std::string& name);
  // The marks ascending with their names.
  std::vector<NamedMark> Named() const;
  const std::string& PieceZeroName() const { return piece0Name_; }
  void SetPieceZeroName(const std::string& name) { piece0Name_ = name; }

  int Count() const { return static_cast<int>(added_.size()); }  // n, the line count of Memo1
  int64_t Slot(int i) const { return slots_[static_cast<size_t>(i)]; }
  bool Contains(int64_t pos) const;
  // The marks ascending (slots 1..n).
  std::vector<int64_t> Sorted() const { return std::vector<int64_t>(slots_.begin() + 1, slots_.begin() + 1 + Count()); }
  // The two text lists as decimal lines.
  std::vector<std::string> Memo1() const;
  std::vector<std::string> Memo2() const;

  bool KeepHead() const { return keepHead_; }
  void SetKeepHead(bool on) { keepHead_ = on; }

  // Equal when the slots, the adding order, every name and the keep-head setting are.
  bool operator==(const MarkStore&) const = default;

 private:
  void FillSlotsFrom(std::vector<int64_t> marks);
  std::array<int64_t, kMaxMarks + 1> slots_{};
  std::vector<int64_t> added_;
  std::map<int64_t, std::string> names_;  // the named marks only
  std::string piece0Name_;
  bool keepHead_ = false;
};

}  // namespace sonaveld
