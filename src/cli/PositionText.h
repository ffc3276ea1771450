#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "document/WaveProbe.h"

namespace sonaveld::cli {

// A position as given on the command line: a frame number or a time.
struct PositionText {
  bool isTime = false;
  int64_t value = 0;  // the frame (1-based) as written, or the time in milliseconds
  std::string text;   // the text given, blanks around it removed, for messages
};

// Parses one position; blanks around it are ignored. A whole number (optional sign, 64-bit) is a
// frame; "m:ss", "h:mm:ss" (minutes and seconds after a colon below 60, two digits) and "Ns", each
// with up to three decimals of a second, are times. Anything else is malformed: nullopt.
std::optional<PositionText> ParsePosition(std::string_view text);

// Parses a comma-separated list of positions. On a malformed entry returns nullopt and puts the
// entry in *bad.
std::optional<std::vector<PositionText>> ParsePositionList(std::string_view list, std::string* bad);

// The frame playing at ms milliseconds, 1-based: trunc(ms x rate / 1000) + 1 in exact integer
// arithmetic. INT64_MAX when that does not fit in 64 bits. ms >= 0, rate > 0.
int64_t FrameAtTime(int64_t ms, int32_t rate);

struct PositionFrame {
  Status status;  // Ok, or the message of a time past the end of the file
  int64_t frame = 0;
};

// The frame of a position in the file of header. A frame is taken as it stands (the mark store
// judges it); a time whose frame lies beyond the frame just after the last one is refused, so a
// time up to the file's length (as `info` shows it) is accepted and the length itself marks the end.
PositionFrame FrameOf(const PositionText& position, const WaveHeader& header);

}  // namespace sonaveld::cli
