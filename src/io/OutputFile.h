#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "io/ByteSink.h"
#include "io/ByteSource.h"
#include "io/FileSink.h"  // OpenFileSink, the opener used when none is given
#include "io/UnnamedFile.h"

namespace sonaveld {

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
  // Overwrites n bytes written before, from byte offset.
  bool WriteAt(int64_t offset, const void* data, int64_t n);
  // Sets room aside for an output of about bytes bytes in all (UnnamedFile::Reserve), where the
  // bytes go to an unnamed file; nothing otherwise. Changes no byte of the output: Commit() frees
  // what the output did not fill.
  void Reserve(int64_t bytes);
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
  int64_t reserved_ = 0;  // room Reserve() asked for, 0 when it was not asked
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace sonaveld
