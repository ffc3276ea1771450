#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Small helpers of the fuzz targets: a private scratch folder and whole-file reads and writes.
namespace sonaveld::check {

// Prints what went wrong and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void FuzzFailure(const std::string& what);

#define FUZZ_CHECK(condition, what)                           \
  do {                                                        \
    if (!(condition)) ::sonaveld::check::FuzzFailure(what);   \
  } while (0)

// A scratch folder of this process (in /dev/shm where it exists), created on first use.
const std::string& ScratchFolder();
// Removes every file in the scratch folder.
void ClearScratchFolder();
// Names of the files in the scratch folder, sorted.
std::vector<std::string> ScratchListing();

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// The file's bytes; an empty vector for a missing file.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

}  // namespace sonaveld::check
