#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace sonaveld {

// A file made in a folder without a name (Linux: open with O_TMPFILE). Until Link() gives it a
// name nothing of it is visible, and when the process ends, however it ends, the system frees it:
// an output written into it leaves no partial file behind. Elsewhere, and on file systems that
// refuse such files, Create() gives a file that is not open and the caller names its file itself.
class UnnamedFile {
 public:
  UnnamedFile() = default;
  // Makes the file in folder ("" is the working folder); not open() when the system refuses.
  static UnnamedFile Create(const std::string& folder);
  ~UnnamedFile();
  UnnamedFile(UnnamedFile&& other) noexcept;
  UnnamedFile& operator=(UnnamedFile&& other) noexcept;
  UnnamedFile(const UnnamedFile&) = delete;
  UnnamedFile& operator=(const UnnamedFile&) = delete;

  bool open() const { return fd_ >= 0; }
  // A stream writing to the file through a descriptor of its own (the caller closes it; the file
  // stays unnamed and alive while this object holds it); nullptr on failure.
  std::FILE* OpenStream() const;
  // Gives the file the name path; it never replaces an existing file: false with errno EEXIST
  // when the name is taken, false with another errno when the link failed.
  bool Link(const std::string& path) const;
  // Asks the file system for room for bytes bytes from the start of the file at once, without
  // changing the file's size or content (fallocate, keeping the size). Writes into room set aside
  // this way take less of the writer's time on ext4 than writes that reserve their blocks page by
  // page. Best effort, on ext4 only: false elsewhere and where it is refused (a refusal for want
  // of space may keep part of the room; TrimTo frees it).
  bool Reserve(int64_t bytes) const;
  // Frees room set aside beyond size bytes (the file's size): truncates the file to size.
  bool TrimTo(int64_t size) const;

 private:
  explicit UnnamedFile(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace sonaveld
