#pragma once
#include <QAudioFormat>

#include "document/WaveProbe.h"

namespace sonaveld {

// The sink format that plays a file's samples: 8-bit unsigned, 16-bit or 32-bit signed or 32-bit
// float as they lie on disk, 24-bit samples as 32-bit ones (the stream widens them, v << 8); 1 or
// 2 channels (2 for files of more channels, of which the stream picks two), the file's rate. An
// invalid format for a header without a sample layout or with a rate of 0 or below.
QAudioFormat AudioFormatFor(const WaveHeader& header);

}  // namespace sonaveld
