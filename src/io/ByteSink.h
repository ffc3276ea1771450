#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "io/ByteSource.h"

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
  // How a copy of source bytes ended. kUnsupported: nothing was written; the caller copies
  // through a buffer instead.
  enum class Copy { kDone, kUnsupported, kReadFailed, kWriteFailed };
  // Appends n bytes of source from byte offset without a round trip through a buffer, where the
  // sink and the source allow it.
  virtual Copy CopyFrom(ByteSource&, int64_t /*offset*/, int64_t /*n*/) { return Copy::kUnsupported; }
};

// Opens the sink of a new, empty temporary file at tempPath; nullptr when it cannot be created.
using SinkOpener = std::function<std::unique_ptr<ByteSink>(const std::string& tempPath)>;

}  // namespace sonaveld
