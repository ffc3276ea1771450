#include "normalizer/BlockReader.h"

#include <algorithm>

namespace sonaveld {
namespace {

// Bytes one view shows at most: few enough mappings per file, while the pages of a view stay
// mapped only until the next one.
constexpr int64_t kViewBytes = int64_t{8} << 20;

// Where an empty block points.
constexpr uint8_t kNoBytes = 0;

}  // namespace

BlockReader::BlockReader(ByteSource& source, int64_t begin, int64_t end, int64_t blockBytes, int64_t groupBlocks)
    : source_(source),
      next_(begin),
      end_(std::max(begin, end)),
      blockBytes_(blockBytes),
      groupBlocks_(std::max<int64_t>(groupBlocks, 1)),
      windowStart_(begin),
      windowEnd_(begin) {}

bool BlockReader::Fill() {
  // Blocks start at begin + k * B and a window holds whole blocks, so no block straddles two.
  if (viewing_) {
    const int64_t want = std::min(std::max(kViewBytes / blockBytes_, groupBlocks_) * blockBytes_, end_ - next_);
    const ByteView view = source_.View(next_, want);
    if (view.shown) {
      window_ = view.data;
      windowStart_ = next_;
      windowEnd_ = next_ + view.size;
      if (view.size < want) end_ = windowEnd_;
      return true;
    }
    viewing_ = false;
    buffer_.resize(static_cast<size_t>(blockBytes_ * groupBlocks_));
  }
  const int64_t want = std::min(static_cast<int64_t>(buffer_.size()), end_ - next_);
  const int64_t got = source_.ReadAt(next_, buffer_.data(), want);
  if (got < 0) return false;
  window_ = buffer_.data();
  windowStart_ = next_;
  windowEnd_ = next_ + got;
  if (got < want) end_ = windowEnd_;
  return true;
}

int64_t BlockReader::Next(const uint8_t** data) {
  if (next_ >= windowEnd_ && next_ < end_ && !Fill()) return -1;
  const int64_t n = std::clamp<int64_t>(windowEnd_ - next_, 0, blockBytes_);
  *data = n > 0 ? window_ + (next_ - windowStart_) : &kNoBytes;
  next_ += n;
  return n;
}

}  // namespace sonaveld
