#pragma once
#include <string>
#include <vector>

#include "document/Document.h"
#include "marks/NamedMarks.h"
#include "output/OutputHost.h"

namespace sonaveld {

// The bytes around the samples of a copy with markers, built from the source's.
struct MarkerCopyLayout {
  std::vector<uint8_t> header;    // "RIFF", size, "WAVE", the source's header chunks less "cue " and
                                  // LIST "adtl", then "data" and the sample size
  std::vector<uint8_t> trailing;  // the pad byte of odd samples, the source's chunks after the
                                  // samples less "cue " and LIST "adtl", then the new "cue " and LIST
                                  // "adtl"; the RIFF size in header counts all of it
};

// A copy of the whole WAV file of file with marks as its markers: the source's own "cue " and
// LIST "adtl" chunks dropped, every other byte as in the source, and after the samples a "cue "
// chunk of one point per mark (ids 1..n, dwPosition = dwSampleOffset = mark - 1, fccChunk "data",
// chunk and block start 0) and a LIST "adtl" with a "labl" per named mark (none when no mark is
// named). Marks are ascending and at least 1. Written through OutputFile to outPath with the run's
// idle, stop and free-space question (OutputHost, flags as for the other output commands): Ok,
// Silent (declined), Stopped (nothing left behind: a part of a copy is no copy), or the failure.
OutputResult WriteMarkerCopy(const FileFields& file, const std::vector<NamedMark>& marks, const std::string& outPath,
                             CreationFlags& flags, OutputHost& host, const OutputOptions& options = {});

}  // namespace sonaveld
