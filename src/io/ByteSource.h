#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "io/FileMapping.h"

namespace sonaveld {

// Bytes of a source shown in place (see ByteSource::View).
struct ByteView {
  bool shown = false;             // false: the source cannot show them; read them with ReadAt
  const uint8_t* data = nullptr;  // the first byte (null when size is 0)
  int64_t size = 0;               // bytes shown: fewer than asked only where the data ends
};

// Random-access reading of a file's bytes. The probe, the parsers and the copiers read through
// this, so tests and fuzzers can feed them from memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Current size in bytes, or -1 when it cannot be learnt.
  virtual int64_t Size() = 0;
  // Reads up to n bytes starting at byte offset into buffer. Returns the number of bytes read
  // (fewer than n only where the data ends), or -1 on a read error.
  virtual int64_t ReadAt(int64_t offset, void* buffer, int64_t n) = 0;

  // Shows bytes [offset, offset + n) where they lie, without copying them (a file mapped into
  // memory, bytes held in memory). The view stays valid until the next View of this source or its
  // end. Reads of its bytes must happen inside Guarded().
  virtual ByteView View(int64_t /*offset*/, int64_t /*n*/) { return {}; }

  // Runs fn, which reads bytes of the last View. false when they could not be read (the file was
  // cut short beneath the view, or the disk failed): fn was then left midway, so it must hold no
  // object that needs destroying.
  template <class F>
  bool Guarded(F& fn) {
    return RunGuarded([](void* f) { (*static_cast<F*>(f))(); }, &fn);
  }

 protected:
  virtual bool RunGuarded(void (*fn)(void*), void* context) {
    fn(context);
    return true;
  }
};

// Bytes held in memory (tests, fuzzers).
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemorySource(const uint8_t* data, size_t size) : bytes_(data, data + size) {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override;
  ByteView View(int64_t offset, int64_t n) override;

 private:
  std::vector<uint8_t> bytes_;
};

// A file opened for reading for the length of one operation; closed by the destructor.
class FileSource final : public ByteSource {
 public:
  // Opens path for reading; nullptr when it cannot be opened or is not a regular file (a
  // directory, a FIFO, a device), without waiting on a FIFO.
  static std::unique_ptr<FileSource> Open(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  int64_t Size() override;
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override;
  // The file mapped into memory where the system allows it (see FileMapping).
  ByteView View(int64_t offset, int64_t n) override;
  // The open stream, for copies the operating system can do without passing the bytes through us.
  std::FILE* stream() const { return file_; }

 private:
  explicit FileSource(std::FILE* file) : file_(file) {}
  bool RunGuarded(void (*fn)(void*), void* context) override { return mapping_.Run(fn, context); }

  std::FILE* file_;
  int64_t position_ = -1;  // where the stream stands, -1 when unknown
  FileMapping mapping_;
  bool mappable_ = true;  // false once the system refused a mapping of this file
};

}  // namespace sonaveld
