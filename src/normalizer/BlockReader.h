#pragma once
#include <cstdint>
#include <vector>

#include "io/ByteSource.h"

namespace sonaveld {

// Hands out the blocks of B bytes of a byte stretch [begin, end) of a source, as if each were
// read on its own (full blocks, then one short block of fewer than B bytes, possibly none). Where
// the source can show its bytes in place (ByteSource::View) the blocks point into large views of
// it; elsewhere they are read in groups of blocks into one buffer, allocated once.
class BlockReader {
 public:
  // blockBytes B > 0; groupBlocks: how many blocks one read fetches (a view shows more).
  BlockReader(ByteSource& source, int64_t begin, int64_t end, int64_t blockBytes, int64_t groupBlocks);

  // Fetches the next block. Returns its size n in bytes (n < B marks the end of the stretch,
  // also where the source ends early), or -1 on a read error. data points at the block's bytes
  // and stays valid until the next call; they may only be read inside Use().
  int64_t Next(const uint8_t** data);

  // Runs fn, which reads the bytes of the last block; false when they could not be read (see
  // ByteSource::Guarded: fn must hold nothing that needs destroying).
  template <class F>
  bool Use(F&& fn) {
    return source_.Guarded(fn);
  }

 private:
  // Makes [next_, ...) available in window_: a view, or a read into buffer_. false on a read error.
  bool Fill();

  ByteSource& source_;
  int64_t next_;      // source offset of the next block
  int64_t end_;       // end of the stretch (lowered when the source ends early)
  int64_t blockBytes_;
  int64_t groupBlocks_;
  bool viewing_ = true;  // until the source refuses a view
  std::vector<uint8_t> buffer_;
  const uint8_t* window_ = nullptr;  // the bytes from windowStart_ on
  int64_t windowStart_ = 0;          // source offset of window_[0]
  int64_t windowEnd_ = 0;            // source offset one past the last available byte
};

}  // namespace sonaveld
