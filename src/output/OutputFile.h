#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "document/ByteSource.h"
#include "output/UnnamedFile.h"

namespace sonaveld {

// Where an output's bytes go. The file implementation writes a real file; tests put failing
// sinks in its place to simulate a full disk.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends n bytes; false when they were not all written.
  virtual bool Write(const void* data, int64_t n) = 0;
  // Overwrites n bytes at byte offset (for the size fields); false on failure.
  virtual bool WriteAt(int64_t offset, const void* data, int64_t n) = 0;
  // Flushes and closes; false when anything written did not reach the file.
  virtual bool Close() = 0;
  // Appends n bytes of source from byte offset without a round trip through a buffer, where the
  // sink and the source allow it; kUnsupported leaves the copy to Write.
  enum class Copy { kDone, kUnsupported, kReadFailed, kWriteFailed };
  virtual Copy CopyFrom(ByteSource&, int64_t /*offset*/, int64_t /*n*/) { return Copy::kUnsupported; }
};

// Opens the sink of a new, empty temporary file at tempPath; nullptr when it cannot be created.
using SinkOpener = std::function<std::unique_ptr<ByteSink>(const std::string& tempPath)>;

// The default opener: a new file created exclusively at tempPath.
std::unique_ptr<ByteSink> OpenFileSink(const std::string& tempPath);

// One output file, put under its final path only once everything is written: until then an
// existing file of that name is untouched, and a failed or abandoned output leaves nothing behind.
// Where the system allows it the bytes go to an unnamed file in the output's folder (UnnamedFile),
// so that not even a killed process leaves a partial file; Commit() links it in place. Elsewhere,
// and whenever an opener is given (tests wrap the file's sink), they go to a hidden temporary file
// ".NAME.part-N" beside the output, which Commit() renames over the final path and the destructor
// removes when the output is abandoned.
class OutputFile {
 public:
  // Creates the file for path; nullptr when it cannot be created.
  static std::unique_ptr<OutputFile> Create(const std::string& path, const SinkOpener& opener = {});
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Appends n bytes. After the first failure every call returns false.
  bool Write(const void* data, int64_t n);
  // Appends n bytes of source from offset by an in-kernel copy where possible (see ByteSink::CopyFrom).
  ByteSink::Copy CopyFrom(ByteSource& source, int64_t offset, int64_t n);
  // Writes a little-endian 32-bit value at byte offset.
  bool WriteU32At(int64_t offset, uint32_t value);
  // Closes the file and puts it under the final path; false (and nothing left behind) when a write,
  // the close, the link or the rename failed.
  bool Commit();

  const std::string& path() const { return path_; }
  int64_t written() const { return written_; }  // bytes appended so far

 private:
  OutputFile(std::string path, std::string tempPath, std::unique_ptr<ByteSink> sink, UnnamedFile unnamed);
  // Names the unnamed file path_: straight away when no file has that name, else under a fresh
  // temporary name that is then renamed over it.
  bool LinkIntoPlace();
  std::string path_;
  std::string tempPath_;  // the named temporary file, "" while there is none
  std::unique_ptr<ByteSink> sink_;
  UnnamedFile unnamed_;   // open when the bytes go to an unnamed file
  int64_t written_ = 0;
  bool failed_ = false;
  bool committed_ = false;
};

// True when both paths name one existing file (any spelling, links included).
bool IsSameFile(const std::string& a, const std::string& b);

// Free bytes available to the program on the volume of path's folder; -1 when the query fails.
int64_t FreeBytesForOutput(const std::string& path);

}  // namespace sonaveld
