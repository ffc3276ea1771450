#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "marks/NamedMarks.h"

namespace sonaveld {

// The names the pieces of a split take from the marks they start at. Empty: every piece keeps its
// numbered name, and every output is as without names.
struct PieceNames {
  std::map<int64_t, std::string> atMark;  // mark frame (1-based) → its name
  std::string head;                       // the piece that starts at frame 1 before any mark (piece 00)

  bool empty() const { return atMark.empty() && head.empty(); }
  // The name of the piece that starts at mark (isHead: at frame 1, not at a mark); "" when unnamed.
  std::string For(int64_t mark, bool isHead) const;
};

// The names of marks (their frames distinct) and of piece 00, as a split takes them.
PieceNames PieceNamesOf(const std::vector<NamedMark>& marks, const std::string& piece0Name);

// The most characters (UTF-8 code points) of a name that go into a file name.
constexpr int kMaxNameChars = 100;

// name as a part of a file name: / \ : * ? " < > |, control characters and bytes that are not
// UTF-8 become "_", spaces at both ends are trimmed, and at most kMaxNameChars characters are kept,
// and no more of them than fit in maxBytes (never cutting inside a character). "" when nothing is left.
std::string FileSafeName(const std::string& name, size_t maxBytes = SIZE_MAX);

// The longest file name (one path component) the common file systems hold, in bytes.
constexpr size_t kMaxFileNameBytes = 255;

// The k-th output: NumberedOutputName(baseName, k) when name has nothing file-safe in it, else that
// name before ".wav", a space, FileSafeName(name) and ".wav": take, 3, "Intro" → "take03 Intro.wav".
// The name is cut shorter where the file name would not fit in kMaxFileNameBytes.
std::string PieceOutputName(const std::string& baseName, int k, const std::string& name);

}  // namespace sonaveld
