#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Status.h"
#include "document/WaveProbe.h"

namespace sonaveld {

// What the split into mono files tells its caller while it runs. Every hook may be empty.
struct ChannelSplitHooks {
  std::function<bool()> stopTest;                             // asked after each block; true stops
  std::function<void(int64_t done, int64_t total)> progress;  // source sample bytes read, of all
  std::function<void(const std::string& path)> written;       // each output once it is in place
  // The free-space question, as the cut commands ask it: true goes on. Empty: the answer is No.
  std::function<bool(const std::string& question)> confirmLowSpace;
  // Free bytes on the volume of an output's folder (-1 when unknown); empty: FreeBytesForOutput.
  std::function<int64_t(const std::string& path)> freeBytes;
};

struct ChannelSplitResult {
  Status status;                     // Ok, Stopped, or the failure's message
  std::vector<std::string> written;  // the outputs put in place, channel order
};

// The name of channel n's output (n from 1): name + "_" + n + ".wav".
std::string ChannelFileName(const std::string& name, int channel);

// Writes each channel of the WAV file at path (probed as header) as a mono file
// ChannelFileName(name, n): the source's header chunks by the output rules (bext and iXML time,
// cue points and their labels), its format chunk made mono (channel count, byte rate, block align;
// an extensible file's mask the speaker of that channel, 0 where the mask names none), the
// channel's samples of every whole frame, the chunks after the samples. All outputs are written
// in one pass over the source; a stop or a failure leaves none of them. Refuses an output that
// would be the source ("ファイル %s を作成できません"). Before anything is created, a volume with
// less free space than the source's size is asked about as the cut commands ask (Silent on No).
ChannelSplitResult SplitChannels(const std::string& path, const WaveHeader& header, const std::string& name,
                                 const ChannelSplitHooks& hooks);

}  // namespace sonaveld
