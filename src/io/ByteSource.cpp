#include "io/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace sonaveld {

int64_t MemorySource::ReadAt(int64_t offset, void* buffer, int64_t n) {
  const auto size = static_cast<int64_t>(bytes_.size());
  if (offset < 0 || n < 0) return -1;
  if (offset >= size) return 0;
  const int64_t count = std::min(n, size - offset);
  std::memcpy(buffer, bytes_.data() + offset, static_cast<size_t>(count));
  return count;
}

ByteView MemorySource::View(int64_t offset, int64_t n) {
  const auto size = static_cast<int64_t>(bytes_.size());
  if (offset < 0 || n < 0) return {};
  const int64_t count = std::clamp<int64_t>(size - offset, 0, n);
  return {true, count > 0 ? bytes_.data() + offset : nullptr, count};
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
  // Without O_NONBLOCK the open of a FIFO would wait for a writer. A directory, a FIFO or a
  // device has no end to read up to (a directory's reads fail, /dev/zero never ends): refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  std::FILE* file = nullptr;
  const int flags = fcntl(fd, F_GETFL);
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
    file = fdopen(fd, "rb");
  }
  if (file == nullptr) {
    ::close(fd);
    return nullptr;
  }
  // Callers read in large blocks; stdio's own buffer would only add a copy.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return std::unique_ptr<FileSource>(new FileSource(file));
}

FileSource::~FileSource() { std::fclose(file_); }

int64_t FileSource::Size() {
  position_ = -1;
  if (std::fseek(file_, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file_);
  return end < 0 ? -1 : static_cast<int64_t>(end);
}

int64_t FileSource::ReadAt(int64_t offset, void* buffer, int64_t n) {
  if (offset < 0 || n < 0) return -1;
  if (offset != position_) {
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
      position_ = -1;
      return -1;
    }
    position_ = offset;
  }
  const size_t got = std::fread(buffer, 1, static_cast<size_t>(n), file_);
  if (got < static_cast<size_t>(n) && std::ferror(file_)) {
    std::clearerr(file_);
    position_ = -1;
    return -1;
  }
  std::clearerr(file_);
  position_ += static_cast<int64_t>(got);
  return static_cast<int64_t>(got);
}

ByteView FileSource::View(int64_t offset, int64_t n) {
  // One mapping serves the views of a whole file (the bytes ahead of offset, up to 1 GiB), so
  // that a second pass over the same bytes finds their pages mapped already.
  constexpr int64_t kMapAhead = int64_t{1} << 30;
  if (!mapping_.Covers(offset, n)) {
    if (!mappable_ || !mapping_.Map(fileno(file_), offset, std::max(n, kMapAhead))) {
      mappable_ = false;
      return {};
    }
    // The pages further on are read in on a second thread while the caller reads the first ones.
    mapping_.PopulateAhead();
  }
  const int64_t count = std::clamp<int64_t>(mapping_.end() - offset, 0, n);
  return {true, count > 0 ? mapping_.At(offset) : nullptr, count};
}

}  // namespace sonaveld
