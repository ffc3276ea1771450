#include "normalizer/NormalizeNames.h"

#include "io/FileNames.h"

namespace sonaveld {

std::optional<NormalizeNames> NamesFor(const std::string& path) {
  std::optional<std::string> base = PathWithoutExtension(path);
  if (!base) return std::nullopt;
  NormalizeNames names;
  names.base = std::move(*base);
  names.output = names.base + "-n.wav";
  names.backup = names.base + "-orig.wav";
  return names;
}

}  // namespace sonaveld
