#include "FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace sonaveld::check {
namespace fs = std::filesystem;

void FuzzFailure(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    // scripts/fuzz names a folder that it removes afterwards: libFuzzer may end the process
    // without running the exit handlers.
    const char* given = std::getenv("SONAVELD_FUZZ_SCRATCH");
    const fs::path base = given != nullptr && fs::is_directory(given) ? fs::path(given)
                          : fs::is_directory("/dev/shm")               ? fs::path("/dev/shm")
                                                                       : fs::temp_directory_path();
    std::string pattern = (base / "sonaveld-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) FuzzFailure("cannot create the scratch folder");
    // The folder goes when the process ends through exit().
    static const std::string kept = pattern;
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(kept, ec);
    });
    return pattern;
  }();
  return folder;
}

void ClearScratchFolder() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(ScratchFolder(), ec)) fs::remove(entry.path(), ec);
}

std::vector<std::string> ScratchListing() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(ScratchFolder(), ec)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) FuzzFailure("cannot write " + path);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace sonaveld::check
