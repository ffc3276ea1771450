#include "io/KernelCopy.h"

#if defined(__linux__)
#include <unistd.h>

#include <cerrno>
#endif

namespace sonaveld {

#if defined(__linux__)

ByteSink::Copy KernelCopy(std::FILE* from, int64_t offset, std::FILE* to, int64_t n) {
  const int in = fileno(from);
  const int out = fileno(to);
  loff_t at = offset;
  int64_t done = 0;
  while (done < n) {
    const ssize_t got = copy_file_range(in, &at, out, nullptr, static_cast<size_t>(n - done), 0);
    if (got > 0) {
      done += got;
      continue;
    }
    if (got == 0) return ByteSink::Copy::kReadFailed;  // the source ends before the stretch does
    if (errno == EINTR) continue;
    const bool unsupported = errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                             errno == EBADF || errno == EPERM;
    if (unsupported && done == 0) return ByteSink::Copy::kUnsupported;
    return errno == EIO && done == 0 ? ByteSink::Copy::kReadFailed : ByteSink::Copy::kWriteFailed;
  }
  return ByteSink::Copy::kDone;
}

#else

ByteSink::Copy KernelCopy(std::FILE*, int64_t, std::FILE*, int64_t) { return ByteSink::Copy::kUnsupported; }

#endif

}  // namespace sonaveld
