#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Result.h"

namespace sonaveld {

// A mark with the name it carries: a frame (1-based) and a UTF-8 name, "" when unnamed.
struct NamedMark {
  int64_t frame = 0;
  std::string name;

  bool operator==(const NamedMark&) const = default;
};

// The marks one reader found, ready to replace the marks of the open document.
struct MarkSet {
  std::vector<NamedMark> marks;       // ascending, distinct frames, each at least 1, at most 255
  std::string piece0Name;             // the name of the stretch before the first mark ("" none)
  std::vector<std::string> warnings;  // texts to show though the read was accepted

  bool operator==(const MarkSet&) const = default;
};

// The marks sorted by frame with duplicates dropped (of marks at one frame the first named one
// keeps its name, else the first); refused with "マークは255個までです。" when more than 255 remain.
// Frames below 1 are not checked here: every reader makes marks of 1 and above.
Result<std::vector<NamedMark>> TidyMarks(std::vector<NamedMark> marks);

// The frames of marks, in their order.
std::vector<int64_t> FramesOf(const std::vector<NamedMark>& marks);

// The text of a mark list file holding frames: one decimal number a line, each ended by CR LF.
std::string MarkListText(const std::vector<int64_t>& frames);

}  // namespace sonaveld
