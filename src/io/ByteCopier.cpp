#include "io/ByteCopier.h"

#include <algorithm>

namespace sonaveld {
namespace {

// True when the source offset and the output's write position lie at the same place within their
// pages. The kernel copy is fast only then (it can move whole pages); out of phase it is slower
// than a read and write through the buffer.
bool InPagePhase(int64_t sourceOffset, int64_t outputPosition) {
  return (sourceOffset - outputPosition) % kCopyPageBytes == 0;
}

}  // namespace

ByteSink::Copy ByteCopier::Copy(ByteSource& source, OutputFile& out, int64_t offset, int64_t n) {
  if (n <= 0) return ByteSink::Copy::kDone;
  if (inKernel_ && InPagePhase(offset, out.written())) {
    const ByteSink::Copy copy = out.CopyFrom(source, offset, n);
    if (copy != ByteSink::Copy::kUnsupported) return copy;
    inKernel_ = false;  // this pair of files does not allow it: read and write from now on
  }
  const auto wanted = static_cast<size_t>(std::min(bufferBytes_, n));
  if (buffer_.size() < wanted) buffer_.resize(wanted);
  for (int64_t done = 0; done < n;) {
    const int64_t part = std::min(bufferBytes_, n - done);
    if (source.ReadAt(offset + done, buffer_.data(), part) != part) return ByteSink::Copy::kReadFailed;
    if (!out.Write(buffer_.data(), part)) return ByteSink::Copy::kWriteFailed;
    done += part;
  }
  return ByteSink::Copy::kDone;
}

}  // namespace sonaveld
