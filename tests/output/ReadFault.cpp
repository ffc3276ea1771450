#include "output/ReadFault.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sonaveld::test {
namespace {

struct Watched {
  bool on = false;
  dev_t device = 0;
  ino_t inode = 0;
  ReadFault::Mode mode = ReadFault::Mode::kNone;
  int64_t at = 0;
  int64_t reads = 0;
  int64_t failures = 0;
};

Watched& State() {
  static Watched state;
  return state;
}

// Counts a read of fd when it is the watched file; true when this read must fail.
bool CountRead(int fd) {
  Watched& w = State();
  if (!w.on || fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || st.st_dev != w.device || st.st_ino != w.inode) return false;
  const int64_t number = w.reads++;
  const bool fail = (w.mode == ReadFault::Mode::kFromRead && number >= w.at) ||
                    (w.mode == ReadFault::Mode::kSingleRead && number == w.at);
  if (fail) ++w.failures;
  return fail;
}

}  // namespace

void ReadFault::Watch(const std::string& path, Mode mode, int64_t at) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return;
  State() = Watched{true, st.st_dev, st.st_ino, mode, at, 0, 0};
}

void ReadFault::Stop() { State().on = false; }
int64_t ReadFault::Reads() { return State().reads; }
int64_t ReadFault::Failures() { return State().failures; }

}  // namespace sonaveld::test

// The interposed C library functions. The engine calls them through the dynamic linker, so the
// definitions of this executable come first; the real ones are found with RTLD_NEXT.
extern "C" size_t fread(void* buffer, size_t size, size_t count, FILE* stream) {
  using Fread = size_t (*)(void*, size_t, size_t, FILE*);
  static const auto real = reinterpret_cast<Fread>(dlsym(RTLD_NEXT, "fread"));
  if (sonaveld::test::CountRead(fileno(stream))) {
    stream->_flags |= _IO_ERR_SEEN;  // what ferror() reports after a failed read (glibc)
    errno = EIO;
    return 0;
  }
  return real(buffer, size, count, stream);
}

extern "C" ssize_t copy_file_range(int in, loff_t* inOffset, int out, loff_t* outOffset, size_t length,
                                   unsigned int flags) {
  using Copy = ssize_t (*)(int, loff_t*, int, loff_t*, size_t, unsigned int);
  static const auto real = reinterpret_cast<Copy>(dlsym(RTLD_NEXT, "copy_file_range"));
  if (sonaveld::test::CountRead(in)) {
    errno = EIO;
    return -1;
  }
  return real(in, inOffset, out, outOffset, length, flags);
}

// A mapping of the file fails as its read would (the caller then reads it). The system call is
// made directly: looking up the C library's mmap could itself map memory.
extern "C" void* mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
  if (sonaveld::test::CountRead(fd)) {
    errno = EIO;
    return MAP_FAILED;
  }
  return reinterpret_cast<void*>(syscall(SYS_mmap, address, length, protection, flags, fd, offset));
}
