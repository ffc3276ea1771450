#pragma once
#include <string>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "marks/NamedMarks.h"

namespace sonaveld {

// The markers a WAV file carries: the points of its first "cue " chunk (before or after the
// samples) as marks dwSampleOffset + 1, each named by the first "labl" of its id in the file's
// LIST "adtl" chunks (text up to its zero byte). Points outside the sample area (offset >= the
// frame count) are left out; dwPosition and fccChunk play no part. Chunks after the samples are
// read only where the data size field fitted the file (header.DataEnd < header.FileSize).
// Refusals: "ファイル %s を読み込めません。" (path) on a read error, "マークは255個までです。".
Result<MarkSet> ReadEmbeddedMarkers(ByteSource& source, const WaveHeader& header, const std::string& path);

// Opens and probes the WAV at wavePath for this one read (closed again on every path), then as
// above; the open or probe refusal otherwise. header, when given, receives the probed header.
Result<MarkSet> ReadEmbeddedMarkersFile(const std::string& wavePath, WaveHeader* header = nullptr);

}  // namespace sonaveld
