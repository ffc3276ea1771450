#include "io/FileChecks.h"

#include <filesystem>
#include <system_error>

namespace sonaveld {
namespace fs = std::filesystem;

bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return !ec && same;
}

int64_t FreeBytesForOutput(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  const fs::space_info info = fs::space(folder, ec);
  if (ec) return -1;
  return static_cast<int64_t>(info.available);
}

}  // namespace sonaveld
