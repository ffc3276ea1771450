#pragma once
#include <optional>
#include <string>

namespace sonaveld {

// The names the normalizer derives from a source path. The cut is made at the last "." of the
// file name itself; a dot in a folder name never counts.
struct NormalizeNames {
  std::string base;    // the path without its last "." and what follows it
  std::string output;  // base + "-n.wav": the normalized file
  std::string backup;  // base + "-orig.wav": the source's name once the names are swapped
};

// The names for path; empty when the file name has no ".". With an outputDir the output goes into
// that folder under the same file name (the backup stays beside the source).
std::optional<NormalizeNames> NamesFor(const std::string& path, const std::string& outputDir = {});

}  // namespace sonaveld
