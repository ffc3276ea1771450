#include "document/BroadcastTime.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace sonaveld {
namespace {

// The text between an element's start tag and its end tag: xml[begin, end).
struct Content {
  size_t begin = 0;
  size_t end = 0;
};

// The content of the first element <name ...>...</name> that lies wholly in xml[from, to); a
// self-closing element has none. plain: the first whose content holds no markup (a value).
std::optional<Content> FindContent(std::string_view xml, std::string_view name, size_t from, size_t to,
                                   bool plain = false) {
  const std::string open = "<" + std::string(name);
  const std::string close = "</" + std::string(name) + ">";
  for (size_t at = xml.find(open, from); at != std::string_view::npos && at < to; at = xml.find(open, at + 1)) {
    const size_t after = at + open.size();
    if (after >= to || (xml[after] != '>' && !std::isspace(static_cast<unsigned char>(xml[after])))) continue;
    const size_t gt = xml.find('>', after);
    if (gt == std::string_view::npos || gt >= to || xml[gt - 1] == '/') continue;
    const size_t end = xml.find(close, gt + 1);
    if (end == std::string_view::npos || end + close.size() > to) return std::nullopt;
    if (plain && xml.substr(gt + 1, end - gt - 1).find('<') != std::string_view::npos) continue;
    return Content{gt + 1, end};
  }
  return std::nullopt;
}

// The four elements that carry the time: the high and the low half, under each section.
struct TimeElement {
  const char* section;
  const char* name;
  bool high;
};
constexpr TimeElement kTimeElements[] = {
    {"BEXT", "BWF_TIME_REFERENCE_HIGH", true},
    {"BEXT", "BWF_TIME_REFERENCE_LOW", false},
    {"SPEED", "TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI", true},
    {"SPEED", "TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO", false},
};

struct FoundElement {
  Content content;
  const TimeElement* element;
};

// Every one of the four elements present in xml, in the order of kTimeElements. Their values hold
// no markup, so no two of them overlap.
std::vector<FoundElement> FindTimeElements(std::string_view xml) {
  std::vector<FoundElement> found;
  for (const TimeElement& e : kTimeElements) {
    const std::optional<Content> section = FindContent(xml, e.section, 0, xml.size());
    if (!section) continue;
    if (auto value = FindContent(xml, e.name, section->begin, section->end, true)) found.push_back({*value, &e});
  }
  return found;
}

// The content without the blanks around it (all of it when it is blank), which stay as they are.
Content Trimmed(std::string_view xml, Content c) {
  while (c.begin < c.end && std::isspace(static_cast<unsigned char>(xml[c.begin]))) ++c.begin;
  while (c.end > c.begin && std::isspace(static_cast<unsigned char>(xml[c.end - 1]))) --c.end;
  return c;
}

// The decimal value of a content; 0 when it is not a 32-bit number.
uint64_t DecimalValue(std::string_view xml, Content c) {
  const Content value = Trimmed(xml, c);
  uint32_t number = 0;
  const auto [end, error] = std::from_chars(xml.data() + value.begin, xml.data() + value.end, number);
  return error == std::errc() && end == xml.data() + value.end && value.end > value.begin ? number : 0;
}

}  // namespace

std::optional<uint64_t> BextTimeReference(const uint8_t* body, size_t size) {
  if (size < kBextTimeReferenceOffset + 8) return std::nullopt;
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | body[kBextTimeReferenceOffset + static_cast<size_t>(i)];
  return value;
}

void SetBextTimeReference(uint8_t* body, size_t size, uint64_t reference) {
  if (size < kBextTimeReferenceOffset + 8) return;
  for (size_t i = 0; i < 8; ++i) body[kBextTimeReferenceOffset + i] = static_cast<uint8_t>(reference >> (8 * i));
}

std::optional<uint64_t> IxmlTimeReference(std::string_view xml) {
  const std::vector<FoundElement> found = FindTimeElements(xml);
  if (found.empty()) return std::nullopt;
  // The section of the first element found: BEXT before SPEED.
  const std::string_view section = found.front().element->section;
  uint64_t reference = 0;
  for (const FoundElement& f : found) {
    if (f.element->section != section) continue;
    const uint64_t half = DecimalValue(xml, f.content);
    reference |= f.element->high ? half << 32 : half;
  }
  return reference;
}

std::string SetIxmlTimeReference(std::string_view xml, uint64_t reference) {
  std::vector<FoundElement> found = FindTimeElements(xml);
  // Replaced from the last to the first, so the earlier positions stay as found.
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.content.begin > b.content.begin; });
  std::string text(xml);
  for (const FoundElement& f : found) {
    const uint64_t half = f.element->high ? reference >> 32 : reference & 0xFFFFFFFFu;
    const Content value = Trimmed(xml, f.content);
    text.replace(value.begin, value.end - value.begin, std::to_string(half));
  }
  return text;
}

}  // namespace sonaveld
