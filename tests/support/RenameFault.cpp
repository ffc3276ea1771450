#include "support/RenameFault.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>

namespace sonaveld::test {
namespace {

std::string target;
int targetError = 0;
int failures = 0;

}  // namespace

void RenameFault::FailNextOnto(const std::string& path, int error) {
  target = path;
  targetError = error;
  failures = 0;
}

int RenameFault::Failures() { return failures; }

}  // namespace sonaveld::test

// The interposed C library function: the engine's and the standard library's rename resolve to
// this executable's definition first; the real one is found with RTLD_NEXT.
extern "C" int rename(const char* from, const char* to) noexcept {
  using namespace sonaveld::test;
  using Rename = int (*)(const char*, const char*);
  static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  if (targetError != 0 && target == to) {
    ++failures;
    errno = targetError;
    targetError = 0;
    return -1;
  }
  return real(from, to);
}
