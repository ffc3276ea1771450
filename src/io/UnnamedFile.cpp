#include "io/UnnamedFile.h"

#if defined(__linux__)
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace sonaveld {

#if defined(__linux__)
namespace {

// The name under which the kernel lets a process reach its open file: linkat follows it to the
// file itself (AT_SYMLINK_FOLLOW), which is how an unnamed file gets a name without privileges.
std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

UnnamedFile UnnamedFile::Create(const std::string& folder) {
  const std::string where = folder.empty() ? "." : folder;
  const int fd = ::open(where.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return {};  // not supported here (EOPNOTSUPP, EISDIR, EINVAL...), or the folder refuses
  UnnamedFile file(fd);
  // Without /proc mounted the file could be written but never named.
  if (::access(DescriptorPath(fd).c_str(), F_OK) != 0) return {};
  return file;
}

UnnamedFile::~UnnamedFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::FILE* UnnamedFile::OpenStream() const {
  const int copy = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return nullptr;
  std::FILE* stream = ::fdopen(copy, "wb");
  if (stream == nullptr) ::close(copy);
  return stream;
}

bool UnnamedFile::Link(const std::string& path) const {
  return ::linkat(AT_FDCWD, DescriptorPath(fd_).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool UnnamedFile::Reserve(int64_t bytes) const {
  // Only on ext4, where it was measured to help: tmpfs, for one, clears every page it sets aside,
  // and the writes then fill them a second time. The system call itself, not posix_fallocate:
  // where the file system cannot set room aside, that would write zeros instead.
  struct statfs where {};
  if (bytes <= 0 || ::fstatfs(fd_, &where) != 0 || where.f_type != EXT4_SUPER_MAGIC) return false;
  return ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0;
}

bool UnnamedFile::TrimTo(int64_t size) const { return ::ftruncate(fd_, static_cast<off_t>(size)) == 0; }

#else

UnnamedFile UnnamedFile::Create(const std::string&) { return {}; }
UnnamedFile::~UnnamedFile() = default;
std::FILE* UnnamedFile::OpenStream() const { return nullptr; }
bool UnnamedFile::Link(const std::string&) const { return false; }
bool UnnamedFile::Reserve(int64_t) const { return false; }
bool UnnamedFile::TrimTo(int64_t) const { return false; }

#endif

UnnamedFile::UnnamedFile(UnnamedFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

UnnamedFile& UnnamedFile::operator=(UnnamedFile&& other) noexcept {
  if (this != &other) {
    UnnamedFile gone(std::move(*this));  // closes what this held
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

}  // namespace sonaveld
