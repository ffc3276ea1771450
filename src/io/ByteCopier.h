#pragma once
#include <cstdint>
#include <vector>

#include "io/ByteSink.h"
#include "io/ByteSource.h"
#include "io/OutputFile.h"

namespace sonaveld {

// The largest read of a copy that passes through this process: 1 MB, a whole number of the
// output commands' 200-byte chunks. The one place to tune the copy buffer of every copy.
constexpr int64_t kCopyBufferBytes = 200 * 5120;

// The page size the in-kernel copy is aligned against.
constexpr int64_t kCopyPageBytes = 4096;

// The one copy loop of the engine: appends stretches of a source to the end of an output file,
// inside the kernel where asked, where the pair of files allows it (once refused, the copier never
// tries again) and where the stretch's source offset is a whole number of pages (kCopyPageBytes)
// apart from the output's write position; else through one buffer that grows to the reads it
// makes, at most bufferBytes. Serves one operation; the buffer is reused for every stretch.
class ByteCopier {
 public:
  // bufferBytes > 0: the largest read through the buffer. inKernel: try the kernel copy first.
  ByteCopier(int64_t bufferBytes, bool inKernel) : bufferBytes_(bufferBytes), inKernel_(inKernel) {}

  // Appends n bytes of source from byte offset to out: kDone; kReadFailed when a read failed or
  // the source ended early (it shrank); kWriteFailed when out refused the bytes.
  ByteSink::Copy Copy(ByteSource& source, OutputFile& out, int64_t offset, int64_t n);

 private:
  int64_t bufferBytes_;
  bool inKernel_;
  std::vector<uint8_t> buffer_;
};

}  // namespace sonaveld
