#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace sonaveld {

// The frame playing at wholeSeconds + 0.<fraction> seconds, 1-based: trunc(seconds x rate) + 1,
// computed exactly on the decimal digits (any number of them). nullopt when fraction holds a
// character other than a digit or the frame does not fit in 64 bits. wholeSeconds >= 0, rate > 0.
std::optional<int64_t> FrameAtDecimalSeconds(int64_t wholeSeconds, std::string_view fraction, int32_t rate);

// The frame of a decimal number of seconds written as digits, optionally "." and digits
// ("12", "12.5", "0.000023"; no sign, no exponent): as FrameAtDecimalSeconds. nullopt otherwise.
std::optional<int64_t> FrameAtSecondsText(std::string_view text, int32_t rate);

// The start time of frame (1-based) in seconds rounded up to the microsecond, with six decimals
// ("0.000069" for frame 4 at 44100 Hz), so that FrameAtSecondsText gives frame back for every rate
// up to 1 MHz. frame >= 1, rate > 0.
std::string SecondsTextOfFrame(int64_t frame, int32_t rate);

}  // namespace sonaveld
