#include "normalizer/BlockReader.h"

#include <algorithm>

namespace sonaveld {

BlockReader::BlockReader(ByteSource& source, int64_t begin, int64_t end, int64_t blockBytes, int64_t groupBlocks)
    : source_(source),
      next_(begin),
      end_(std::max(begin, end)),
      blockBytes_(blockBytes),
      buffer_(static_cast<size_t>(blockBytes * std::max<int64_t>(groupBlocks, 1))),
      bufferStart_(begin),
      bufferEnd_(begin) {}

int64_t BlockReader::Next(const uint8_t** data) {
  if (next_ >= bufferEnd_ && next_ < end_) {
    // Blocks start at begin + k * B and the buffer holds whole blocks, so no block straddles
    // two reads.
    const int64_t want = std::min(static_cast<int64_t>(buffer_.size()), end_ - next_);
    const int64_t got = source_.ReadAt(next_, buffer_.data(), want);
    if (got < 0) return -1;
    bufferStart_ = next_;
    bufferEnd_ = next_ + got;
    if (got < want) end_ = bufferEnd_;
  }
  const int64_t n = std::clamp<int64_t>(bufferEnd_ - next_, 0, blockBytes_);
  *data = buffer_.data() + (next_ - bufferStart_);
  if (n == 0) *data = buffer_.data();
  next_ += n;
  return n;
}

}  // namespace sonaveld
