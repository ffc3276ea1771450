#include "normalizer/NormalizeNames.h"

#include <filesystem>

#include "io/FileNames.h"

namespace sonaveld {

std::optional<NormalizeNames> NamesFor(const std::string& path, const std::string& outputDir) {
  std::optional<std::string> base = PathWithoutExtension(path);
  if (!base) return std::nullopt;
  NormalizeNames names;
  names.base = std::move(*base);
  names.output = names.base + "-n.wav";
  if (!outputDir.empty()) {
    names.output = (std::filesystem::path(outputDir) / std::filesystem::path(names.output).filename()).string();
  }
  names.backup = names.base + "-orig.wav";
  return names;
}

}  // namespace sonaveld
