#pragma once
#include <cstdint>
#include <string>

namespace sonaveld::test {

// Read errors on one chosen file, for the tests of what the engine does when a source cannot be
// read. The test executable that links ReadFault.cpp puts its own fread, copy_file_range and mmap
// in front of the C library's: reads and mappings of the chosen file (matched by device and inode,
// whatever the descriptor) are counted, and the chosen ones fail with EIO and the stream's error
// flag set, as a failing disk would. Reads of every other file pass straight through.
class ReadFault {
 public:
  enum class Mode {
    kNone,        // count only
    kFromRead,    // read number `at` and every later one fail (a disk going bad)
    kSingleRead,  // only read number `at` fails (a transient error)
  };
  // Watches path from now on (the file must exist); resets the count.
  static void Watch(const std::string& path, Mode mode = Mode::kNone, int64_t at = 0);
  // Stops watching; reads pass through again.
  static void Stop();
  // Reads of the watched file so far (fread, copy_file_range and mmap calls, failed ones included).
  static int64_t Reads();
  // Reads that were made to fail.
  static int64_t Failures();
};

}  // namespace sonaveld::test
