#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

namespace sonaveld {

// A read-only window of an open file mapped into memory (Linux): the page cache's pages are read
// in place, with no copy into a buffer. A file cut short by another program while it is mapped
// makes reads of the lost pages fault (SIGBUS), and so does a disk that fails under a page; Run()
// turns such a fault into a failed read instead of the end of the process. Elsewhere Map() fails
// and callers read the file instead.
class FileMapping {
 public:
  FileMapping() = default;
  ~FileMapping();
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;

  // Maps bytes [offset, offset + n) of the file open as descriptor fd, cut at the file's present
  // end, in place of the window held so far; no page is read yet. false when the system cannot
  // (nothing is held then).
  bool Map(int fd, int64_t offset, int64_t n);
  // Starts reading the pages of the whole window in on a second thread, ahead of the reads;
  // it stops when the window is unmapped.
  void PopulateAhead();
  // True when the window holds the bytes [offset, offset + n) of the file.
  bool Covers(int64_t offset, int64_t n) const { return offset >= offset_ && offset + n <= offset_ + size_; }
  // The mapped byte of file offset offset (within the window); the window's bytes from there.
  const uint8_t* At(int64_t offset) const { return data_ + (offset - offset_); }
  int64_t end() const { return offset_ + size_; }  // file offset one past the window

  // Runs fn(context), which reads bytes of the window. false when one of those reads faulted: fn
  // was left at that read and must therefore hold nothing that needs destroying.
  bool Run(void (*fn)(void*), void* context) const;

 private:
  void Unmap();
  // Reads the pages of bytes [offset, offset + n) of the window in at once, where the system
  // offers it, rather than one fault at a time as they are read.
  void Populate(int64_t offset, int64_t n) const;
  // Asks the populating thread to stop and waits for it.
  void StopPopulating();

  void* base_ = nullptr;       // the mapping as the system made it (page-aligned)
  int64_t baseLength_ = 0;
  const uint8_t* data_ = nullptr;  // byte offset_ of the file
  int64_t offset_ = 0;
  int64_t size_ = 0;
  std::atomic<bool> stopPopulating_{false};
  std::thread populator_;
};

}  // namespace sonaveld
