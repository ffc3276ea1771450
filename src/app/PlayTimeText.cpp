#include "app/PlayTimeText.h"

#include <algorithm>

namespace sonaveld {
namespace {

std::string TwoDigits(int64_t value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

PlayTimeText FormatPlayTime(int64_t ms) {
  const int64_t p = std::max<int64_t>(ms, 0);
  return PlayTimeText{std::to_string(p / 3600000), TwoDigits((p / 60000) % 60), TwoDigits((p / 1000) % 60)};
}

}  // namespace sonaveld
