#pragma once
#include <string>

namespace sonaveld::test {

// A rename that fails, for the tests of what a failed last step of a write leaves on disk. The test
// executable that links RenameFault.cpp puts its own rename() in front of the C library's (the one
// std::filesystem::rename calls): once armed, the next rename onto the chosen path fails with the
// chosen errno and changes nothing; every other rename passes straight through.
class RenameFault {
 public:
  // The next rename whose new name is path fails with error; later ones pass again.
  static void FailNextOnto(const std::string& path, int error);
  // Renames made to fail since the last FailNextOnto().
  static int Failures();
};

}  // namespace sonaveld::test
