#include "output/PieceNames.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "output/SelectedRanges.h"

namespace sonaveld {
namespace {

// The length of the well-formed UTF-8 sequence at the start of s (shortest forms only, no
// surrogates, at most U+10FFFF); 0 when the first byte does not begin one.
size_t SequenceLength(std::string_view s) {
  const auto byte = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  const unsigned lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// True for a character no file name should hold: the reserved ones of the common file systems and
// the C0, DEL and C1 controls. c is one well-formed sequence.
bool Unsafe(std::string_view c) {
  if (c.size() == 1) {
    const unsigned char b = static_cast<unsigned char>(c[0]);
    return b < 0x20 || b == 0x7F || std::string_view("/\\:*?\"<>|").find(c[0]) != std::string_view::npos;
  }
  // U+0080..U+009F: C2 80 .. C2 9F.
  return c.size() == 2 && static_cast<unsigned char>(c[0]) == 0xC2 && static_cast<unsigned char>(c[1]) <= 0x9F;
}

// The characters of name, each a well-formed sequence or "_" for an unsafe character or a byte
// that does not begin one.
std::vector<std::string_view> SafeCharacters(std::string_view name) {
  std::vector<std::string_view> chars;
  while (!name.empty()) {
    const size_t length = SequenceLength(name);
    const std::string_view c = name.substr(0, length == 0 ? 1 : length);
    chars.push_back(length == 0 || Unsafe(c) ? std::string_view("_") : c);
    name.remove_prefix(c.size());
  }
  return chars;
}

}  // namespace

std::string PieceNames::For(int64_t mark, bool isHead) const {
  if (isHead) return head;
  const auto found = atMark.find(mark);
  return found == atMark.end() ? std::string() : found->second;
}

PieceNames PieceNamesOf(const std::vector<NamedMark>& marks, const std::string& piece0Name) {
  PieceNames names;
  names.head = piece0Name;
  for (const NamedMark& mark : marks) {
    if (!mark.name.empty()) names.atMark[mark.frame] = mark.name;
  }
  return names;
}

std::string FileSafeName(const std::string& name, size_t maxBytes) {
  const std::vector<std::string_view> chars = SafeCharacters(name);
  const auto space = [&](size_t i) { return chars[i] == " "; };
  size_t first = 0;
  while (first < chars.size() && space(first)) ++first;
  // Spaces trimmed before the cut and again after it, where the cut may leave one at the end.
  size_t end = chars.size();
  while (end > first && space(end - 1)) --end;
  end = std::min(end, first + kMaxNameChars);
  size_t bytes = 0;
  for (size_t i = first; i < end; ++i) bytes += chars[i].size();
  while (end > first && (bytes > maxBytes || space(end - 1))) bytes -= chars[--end].size();
  std::string safe;
  for (size_t i = first; i < end; ++i) safe += chars[i];
  return safe;
}

std::string PieceOutputName(const std::string& baseName, int k, const std::string& name) {
  std::string path = NumberedOutputName(baseName, k);
  const size_t slash = path.find_last_of('/');
  const size_t numbered = path.size() - (slash == std::string::npos ? 0 : slash + 1);  // "take03.wav"
  if (numbered + 1 >= kMaxFileNameBytes) return path;
  const std::string safe = FileSafeName(name, kMaxFileNameBytes - numbered - 1);
  if (safe.empty()) return path;
  path.resize(path.size() - 4);  // ".wav"
  return path + " " + safe + ".wav";
}

}  // namespace sonaveld
