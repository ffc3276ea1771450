#include "io/FileNames.h"

#include <filesystem>

namespace sonaveld {

std::optional<std::string> PathWithoutExtension(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  return path.substr(0, path.size() - (name.size() - dot));
}

}  // namespace sonaveld
