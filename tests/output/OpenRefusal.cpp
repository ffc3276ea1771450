// The inline checking wrapper of open() would clash with the definition below.
#undef _FORTIFY_SOURCE
#include "output/OpenRefusal.h"

#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

namespace sonaveld::test {
namespace {

int refusal = 0;
int attempts = 0;

// The C library's open, with the mode argument when flags need one.
int Forward(const char* path, int flags, mode_t mode) {
  using Open = int (*)(const char*, int, ...);
  static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open"));
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    ++attempts;
    if (refusal != 0) {
      errno = refusal;
      return -1;
    }
  }
  return real(path, flags, mode);
}

mode_t ModeOf(int flags, va_list args) {
  return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

}  // namespace

void OpenRefusal::Refuse(int error) {
  refusal = error;
  attempts = 0;
}

int OpenRefusal::Attempts() { return attempts; }

}  // namespace sonaveld::test

// The interposed C library function: the engine's open resolves to this executable's definition
// first; the real one is found with RTLD_NEXT.
extern "C" int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = sonaveld::test::ModeOf(flags, args);
  va_end(args);
  return sonaveld::test::Forward(path, flags, mode);
}
