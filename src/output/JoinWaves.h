#pragma once
#include <string>
#include <vector>

#include "base/Result.h"
#include "document/Document.h"
#include "output/OutputHost.h"

namespace sonaveld {

// One file of a join, probed.
struct JoinSource {
  std::string path;
  WaveHeader header;
};

// Probes the files in order. Every one must open as a WAV file the system handles, of the first
// one's kind (bits, encoding, channels) and sample rate. The list, or the first refusal: the
// open or probe message of a file that is not such a WAV, "…つなげられません。" with the path of
// one of another format. Reads headers only; nothing is written.
Result<std::vector<JoinSource>> ProbeJoinSources(const std::vector<std::string>& paths);

// Writes the whole frames of every source, one after another, as one WAV file under outPath: the
// first source's header chunks (its bext/iXML time reference kept), its carried chunks after the
// samples, the cue points and their texts of every source moved to their frames in the whole
// (renumbered from 1; points past 32 bits of frames are left out). RF64 when the output passes
// options.largestRiff bytes. Refuses an output that is one of the sources ("ファイル %s を作成で
// きません"); asks the free-space question. Busy, StatusHeld and CopyPos (bytes of the whole copied
// so far) in flags, the idle calls and panel changes as for the cut commands. A stop
// (AbortRequested) abandons the output: nothing is left under outPath, and the result is Stopped.
OutputResult JoinWaves(const std::vector<JoinSource>& sources, const std::string& outPath, CreationFlags& flags,
                       OutputHost& host, const OutputOptions& options = {});

}  // namespace sonaveld
