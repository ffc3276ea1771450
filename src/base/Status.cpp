#include "base/Status.h"

namespace sonaveld {

std::string FormatMessage(const std::string& pattern, const std::string& text) {
  const auto at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + text + pattern.substr(at + 2);
}

}  // namespace sonaveld
