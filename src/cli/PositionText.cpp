#include "cli/PositionText.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "cli/CliMessages.h"
#include "marks/MarkTime.h"

namespace sonaveld::cli {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// minDigits..maxDigits decimal digits and nothing else.
bool Digits(std::string_view s, size_t minDigits, size_t maxDigits, int64_t* value) {
  if (s.size() < minDigits || s.size() > maxDigits) return false;
  *value = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
    *value = *value * 10 + (c - '0');
  }
  return true;
}

// Whole seconds of minDigits..maxDigits digits, then optionally "." and 1 to 3 decimals; *ms the
// milliseconds.
bool Seconds(std::string_view s, size_t minDigits, size_t maxDigits, int64_t* ms) {
  const size_t dot = s.find('.');
  int64_t whole = 0, decimals = 0;
  if (!Digits(s.substr(0, dot), minDigits, maxDigits, &whole)) return false;
  if (dot != std::string_view::npos) {
    const std::string_view fraction = s.substr(dot + 1);
    if (!Digits(fraction, 1, 3, &decimals)) return false;
    for (size_t n = fraction.size(); n < 3; ++n) decimals *= 10;
  }
  *ms = whole * 1000 + decimals;
  return true;
}

// "Ns", "m:ss" or "h:mm:ss", seconds with up to three decimals; *ms the milliseconds.
bool ParseTime(std::string_view s, int64_t* ms) {
  constexpr size_t kMaxLeading = 9;  // keeps every time far inside 64 bits
  if (s.ends_with('s')) return Seconds(s.substr(0, s.size() - 1), 1, kMaxLeading + 3, ms);
  const size_t last = s.rfind(':');
  if (last == std::string_view::npos) return false;
  int64_t secondsMs = 0, minutes = 0, hours = 0;
  if (!Seconds(s.substr(last + 1), 2, 2, &secondsMs) || secondsMs >= 60000) return false;
  const std::string_view head = s.substr(0, last);
  const size_t first = head.find(':');
  if (first == std::string_view::npos) {
    if (!Digits(head, 1, kMaxLeading, &minutes)) return false;
  } else if (!Digits(head.substr(0, first), 1, kMaxLeading, &hours) ||
             !Digits(head.substr(first + 1), 2, 2, &minutes) || minutes >= 60) {
    return false;
  }
  *ms = (hours * 60 + minutes) * 60000 + secondsMs;
  return true;
}

bool ParseFrame(std::string_view s, int64_t* frame) {
  // An optional sign, as in the mark list file: "+5" is 5, "-5" a frame the mark store refuses.
  if (s.starts_with('+')) {
    s.remove_prefix(1);
    if (s.starts_with('-')) return false;
  }
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *frame);
  return ec == std::errc() && end == s.data() + s.size();
}

// "m:ss.mmm", or "h:mm:ss.mmm" from an hour on.
std::string FormatTime(int64_t ms) {
  char text[48];
  const long long s = ms / 1000, hours = s / 3600;
  const int milli = static_cast<int>(ms % 1000), minutes = static_cast<int>(s / 60 % 60), seconds = static_cast<int>(s % 60);
  if (hours > 0) std::snprintf(text, sizeof text, "%lld:%02d:%02d.%03d", hours, minutes, seconds, milli);
  else std::snprintf(text, sizeof text, "%d:%02d.%03d", minutes, seconds, milli);
  return text;
}

}  // namespace

std::optional<PositionText> ParsePosition(std::string_view text) {
  text = Trim(text);
  PositionText position;
  position.text = std::string(text);
  if (ParseFrame(text, &position.value)) return position;
  position.isTime = true;
  if (ParseTime(text, &position.value)) return position;
  return std::nullopt;
}

std::optional<std::vector<PositionText>> ParsePositionList(std::string_view list, std::string* bad) {
  std::vector<PositionText> positions;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view entry = list.substr(start, comma - start);
    std::optional<PositionText> position = ParsePosition(entry);
    if (!position) {
      *bad = std::string(entry);
      return std::nullopt;
    }
    positions.push_back(std::move(*position));
    start = comma + 1;
  }
  return positions;
}

int64_t FrameAtTime(int64_t ms, int32_t rate) {
  char milli[8];
  std::snprintf(milli, sizeof milli, "%03d", static_cast<int>(ms % 1000));
  return FrameAtDecimalSeconds(ms / 1000, milli, rate).value_or(std::numeric_limits<int64_t>::max());
}

PositionFrame FrameOf(const PositionText& position, const WaveHeader& header) {
  if (!position.isTime) return {Status::Ok(), position.value};
  const int64_t frame = FrameAtTime(position.value, header.SampleRate);
  const int64_t frames = header.Frames();
  if (frame <= frames + 1) return {Status::Ok(), frame};
  const std::string length = FormatTime(frames * 1000 / header.SampleRate);
  return {Status::Fail(FormatMessage(FormatMessage(kTimePastEndMessage, position.text), length)), 0};
}

}  // namespace sonaveld::cli
