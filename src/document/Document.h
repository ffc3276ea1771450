#pragma once
#include <cstdint>
#include <string>

#include "document/WaveProbe.h"

namespace sonaveld {

// The open file: its path, its header values and its play length.
struct FileFields {
  std::string WaveFileName;  // full path as chosen in the open dialog; empty: no document
  WaveHeader Header;         // FileSize, DataOffset, DataEnd, Channels, BitsPerSample, SampleRate, Kind
  int32_t PlayLength = 0;    // milliseconds, as the playback device reports it after opening
};

// The view onto the file. Positions are 1-based sample frames.
struct ViewFields {
  int64_t ViewStart = 0;  // frame drawn in column 1
  int32_t Zoom = 0;       // frames per pixel column, 1 or more while a document is open
  int32_t Column = 0;     // last column the latest redraw drew (1..760; 0: none)
  int32_t ViewWidth = 0;  // columns of the waveform, 760
  int64_t ViewEnd = 0;    // loop bound of the latest redraw
  int64_t ReadBase = 0;   // byte offset of the frame drawn in column 1
};

// The red cursor line.
struct CursorFields {
  int32_t LineX = 0;    // x pixel on the overlay
  int64_t LinePos = 0;  // frame at the line, 1 or more
};

// Flags of playback and of a running file creation, and the copy position.
struct CreationFlags {
  bool TrackByTimer = false;    // the refresh tick moved the position bar; its change handler ignores it
  bool StatusHeld = false;      // the status panel keeps the file creation's text until playback starts
  bool Busy = false;            // a file is being written; most commands refuse
  bool AbortRequested = false;  // the file being written is to stop after its current block
  int64_t CopyPos = 0;          // byte position in the source of the block being copied
};

// Milliseconds to a frame and back, in extended precision, truncated toward zero.
int64_t MillisecondsToFrame(int64_t ms, int32_t sampleRate);
int64_t FrameToMilliseconds(int64_t frame, int32_t sampleRate);

}  // namespace sonaveld
