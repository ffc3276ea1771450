#include "marks/MarkTime.h"

#include <cstdio>
#include <limits>
#include <string>

namespace sonaveld {

std::optional<int64_t> FrameAtDecimalSeconds(int64_t wholeSeconds, std::string_view fraction, int32_t rate) {
  // rate x 0.<fraction> by long multiplication from the last digit: what carries out of the
  // fraction's digits is its whole part, exactly, however many digits there are.
  int64_t carry = 0;
  for (auto digit = fraction.rbegin(); digit != fraction.rend(); ++digit) {
    if (*digit < '0' || *digit > '9') return std::nullopt;
    carry = ((*digit - '0') * static_cast<int64_t>(rate) + carry) / 10;
  }
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  if (wholeSeconds < 0 || wholeSeconds > (kMax - 1 - carry) / rate) return std::nullopt;
  return wholeSeconds * rate + carry + 1;
}

std::optional<int64_t> FrameAtSecondsText(std::string_view text, int32_t rate) {
  const size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  if (whole.empty() || whole.size() > 18) return std::nullopt;
  if (dot != std::string_view::npos && fraction.empty()) return std::nullopt;
  int64_t seconds = 0;
  for (const char c : whole) {
    if (c < '0' || c > '9') return std::nullopt;
    seconds = seconds * 10 + (c - '0');
  }
  return FrameAtDecimalSeconds(seconds, fraction, rate);
}

std::string SecondsTextOfFrame(int64_t frame, int32_t rate) {
  int64_t seconds = (frame - 1) / rate;
  const int64_t rest = (frame - 1) % rate;
  // Rounded up: the time read back lies in [start, start + 1 us), inside the mark's frame.
  int64_t micros = (rest * 1000000 + rate - 1) / rate;
  if (micros == 1000000) {
    ++seconds;
    micros = 0;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(seconds), static_cast<long long>(micros));
  return text;
}

}  // namespace sonaveld
