#pragma once
#include <cstdint>
#include <vector>

#include "io/ByteSource.h"

namespace sonaveld {

// Hands out the blocks of B bytes of a byte stretch [begin, end) of a source, as if each were
// read on its own (full blocks, then one short block of fewer than B bytes, possibly none),
// while reading the source in large groups of blocks. The buffer is allocated once.
class BlockReader {
 public:
  // blockBytes B > 0; groupBlocks: how many blocks one read fetches.
  BlockReader(ByteSource& source, int64_t begin, int64_t end, int64_t blockBytes, int64_t groupBlocks);

  // Fetches the next block. Returns its size n in bytes (n < B marks the end of the stretch,
  // also where the source ends early), or -1 on a read error. data points at the block's bytes
  // and stays valid until the next call.
  int64_t Next(const uint8_t** data);

 private:
  ByteSource& source_;
  int64_t next_;      // source offset of the next block
  int64_t end_;       // end of the stretch (lowered when the source ends early)
  int64_t blockBytes_;
  std::vector<uint8_t> buffer_;
  int64_t bufferStart_ = 0;  // source offset of buffer_[0]
  int64_t bufferEnd_ = 0;    // source offset one past the last valid buffered byte
};

}  // namespace sonaveld
