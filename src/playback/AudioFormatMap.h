#pragma once
#include <QAudioFormat>

#include "document/WaveProbe.h"

namespace sonaveld {

// The sink format that plays a file's samples as they lie on disk: 8-bit unsigned or 16-bit
// signed, 1 or 2 channels, the file's rate. An invalid format for a header without a kind or
// with a rate of 0 or below.
QAudioFormat AudioFormatFor(const WaveHeader& header);

}  // namespace sonaveld
