#include "io/ByteCopier.h"

#include <algorithm>

namespace sonaveld {

ByteSink::Copy ByteCopier::Copy(ByteSource& source, OutputFile& out, int64_t offset, int64_t n) {
  if (n <= 0) return ByteSink::Copy::kDone;
  if (inKernel_) {
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
