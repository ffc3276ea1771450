#pragma once
#include <cstdint>
#include <string>

namespace sonaveld {

// The three numbers of the time display (Label8 "h" Label3 "分" Label4 "秒") for a play position.
struct PlayTimeText {
  std::string hours;    // decimal, no leading zeros
  std::string minutes;  // two digits
  std::string seconds;  // two digits
};

// Splits a bar position in ms (0 or more; a negative value shows as 0) into whole hours, the
// minutes within the hour and the seconds within the minute, e.g. 65 000 ms -> "0", "01", "05".
PlayTimeText FormatPlayTime(int64_t ms);

}  // namespace sonaveld
