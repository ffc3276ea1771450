#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "document/WaveProbe.h"
#include "output/PieceNames.h"

namespace sonaveld {

// One piece of the file as the split at the marks numbers it: piece 0 from frame 1 to the first
// mark, piece j from mark j to the next mark or the end of the file.
struct Piece {
  int number = 0;
  int64_t start = 0;      // first frame (1-based): 1 for piece 0, else its mark
  int64_t length = 0;     // frames up to the next mark or the end of the file
  bool selected = false;  // a selected range by the pairing of the cut map (keep head included)
  std::string name;       // the name of its starting mark (piece 00's name for piece 0), "" unnamed

  bool operator==(const Piece&) const = default;
};

// The pieces of header's file cut at marks (ascending, distinct, each at least 1), with names from
// names. Without marks, the one piece is the whole file.
std::vector<Piece> ListPieces(const WaveHeader& header, const std::vector<int64_t>& marks, bool keepHead,
                              const PieceNames& names);

// frames at rate as "h:mm:ss.mmm", the milliseconds truncated ("0:01:02.500"). rate > 0.
std::string ClockText(int64_t frames, int32_t rate);

}  // namespace sonaveld
