#include "normalizer/NormalizeNames.h"

namespace sonaveld {

std::optional<NormalizeNames> NamesFor(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return std::nullopt;
  NormalizeNames names;
  names.base = path.substr(0, dot);
  names.output = names.base + "-n.wav";
  names.backup = names.base + "-orig.wav";
  return names;
}

}  // namespace sonaveld
