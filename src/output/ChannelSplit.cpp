#include "output/ChannelSplit.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "io/FileChecks.h"
#include "io/OutputFile.h"
#include "output/FactChunk.h"
#include "output/OutputChunks.h"

namespace sonaveld {
namespace {

// Source bytes read per block: about a MiB of whole frames.
constexpr int64_t kBlockBytes = int64_t{1} << 20;

void Put16(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  if (at + 2 > bytes.size()) return;
  bytes[at] = static_cast<uint8_t>(v);
  bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  Put16(bytes, at, v & 0xFFFF);
  Put16(bytes, at + 2, v >> 16);
}

// The speaker bit of channel n (from 0) in mask: its n-th set bit, 0 when the mask has fewer.
uint32_t SpeakerOf(uint32_t mask, int channel) {
  for (uint32_t bit = 1; bit != 0; bit <<= 1) {
    if ((mask & bit) != 0 && channel-- == 0) return bit;
  }
  return 0;
}

// The header of channel n's output: the format fields, read at their fixed offsets as the probe
// reads them, made those of a mono file of the same samples.
std::vector<uint8_t> MonoHeader(std::vector<uint8_t> bytes, const WaveHeader& h, int channel) {
  const SampleLayout layout = h.Samples();
  Put16(bytes, kChannelsOffset, 1);
  Put32(bytes, kSampleRateOffset + 4, static_cast<uint32_t>(h.SampleRate) * layout.sampleBytes);
  Put16(bytes, kSampleRateOffset + 8, static_cast<uint32_t>(layout.sampleBytes));
  if (h.HasChannelMask) Put32(bytes, kChannelMaskOffset, SpeakerOf(h.ChannelMask, channel));
  return bytes;
}

// The channel outputs of one split, written side by side.
class ChannelOutputs {
 public:
  ChannelOutputs(const WaveHeader& h, int64_t frames, const std::string& source)
      : sourcePath_(source), header_(h), layout_(h.Samples()), frames_(frames) {}

  // Creates every output and writes its header; the failure's message, if any.
  Status Create(const std::string& name, const OutputHeader& header) {
    for (int c = 0; c < layout_.channels; ++c) {
      const std::string path = ChannelFileName(name, c + 1);
      auto out = IsSameFile(path, sourcePath_) ? nullptr : OutputFile::Create(path);
      if (!out) return Status::Fail(MessageId::kCannotCreate, path);
      const std::vector<uint8_t> bytes = MonoHeader(header.bytes, header_, c);
      if (!out->Write(bytes.data(), static_cast<int64_t>(bytes.size()))) return WriteFailure(*out);
      outs_.push_back(std::move(out));
    }
    dataOffset_ = header.DataOffset();
    factCount_ = FactCountOffset(header.bytes.data(), dataOffset_);
    return Status::Ok();
  }

  // Writes each channel's samples of `frames` whole frames at data.
  Status Write(const uint8_t* data, int64_t frames) {
    const int bytes = layout_.sampleBytes;
    const int64_t frameBytes = layout_.FrameBytes();
    samples_.resize(static_cast<size_t>(frames * bytes));
    for (int c = 0; c < layout_.channels; ++c) {
      for (int64_t f = 0; f < frames; ++f) {
        std::memcpy(samples_.data() + f * bytes, data + f * frameBytes + c * bytes, static_cast<size_t>(bytes));
      }
      if (!outs_[c]->Write(samples_.data(), frames * bytes)) return WriteFailure(*outs_[c]);
    }
    return Status::Ok();
  }

  // Appends the pad byte and what follows the samples, sets the size fields and puts each output
  // in place, telling written of each.
  Status Finish(ByteSource& source, const std::vector<TrailingPiece>& trailing,
                const std::function<void(const std::string&)>& written, std::vector<std::string>& done) {
    const int64_t w = frames_ * layout_.sampleBytes;
    for (auto& out : outs_) {
      if (Status s = Carry(source, *out, trailing, w); !s.ok()) return s;
      const bool ok = out->WriteU32At(4, static_cast<uint32_t>(out->written() - 8)) &&
                      out->WriteU32At(dataOffset_ - 4, static_cast<uint32_t>(w)) &&
                      (factCount_ < 0 || out->WriteU32At(factCount_, static_cast<uint32_t>(frames_))) &&
                      out->Commit();
      if (!ok) return WriteFailure(*out);
      done.push_back(out->path());
      if (written) written(out->path());
    }
    return Status::Ok();
  }

 private:
  static Status WriteFailure(const OutputFile& out) { return Status::Fail(MessageId::kCannotWrite, out.path()); }

  Status Carry(ByteSource& source, OutputFile& out, const std::vector<TrailingPiece>& trailing, int64_t w) {
    if (trailing.empty()) return Status::Ok();
    static constexpr uint8_t kPad = 0;
    if ((w & 1) != 0 && !out.Write(&kPad, 1)) return WriteFailure(out);
    for (const TrailingPiece& piece : trailing) {
      std::vector<uint8_t> bytes = piece.bytes;
      if (bytes.empty()) {
        bytes.resize(static_cast<size_t>(piece.source.length));
        if (source.ReadAt(piece.source.begin, bytes.data(), piece.source.length) != piece.source.length) {
          return Status::Fail(MessageId::kCannotRead, sourcePath_);
        }
      }
      if (!out.Write(bytes.data(), static_cast<int64_t>(bytes.size()))) return WriteFailure(out);
    }
    return Status::Ok();
  }

  std::string sourcePath_;
  const WaveHeader& header_;
  SampleLayout layout_;
  int64_t frames_;
  int64_t dataOffset_ = 0;
  int64_t factCount_ = -1;
  std::vector<std::unique_ptr<OutputFile>> outs_;
  std::vector<uint8_t> samples_;
};

// Reads the whole frames of the stretch block by block and hands them to the outputs.
Status CopyFrames(ByteSource& source, const ByteStretch& stretch, int frameBytes, ChannelOutputs& outputs,
                  const ChannelSplitHooks& hooks, const std::string& path) {
  const int64_t block = std::max<int64_t>(1, kBlockBytes / frameBytes) * frameBytes;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(block, stretch.length)));
  for (int64_t done = 0; done < stretch.length;) {
    const int64_t want = std::min(block, stretch.length - done);
    if (source.ReadAt(stretch.begin + done, buffer.data(), want) != want) {
      return Status::Fail(MessageId::kCannotRead, path);
    }
    if (Status s = outputs.Write(buffer.data(), want / frameBytes); !s.ok()) return s;
    done += want;
    if (hooks.progress) hooks.progress(done, stretch.length);
    if (hooks.stopTest && hooks.stopTest()) return Status::Stopped();
  }
  return Status::Ok();
}

// The cut commands' free-space rule: the outputs take about the source's size; short of it on the
// first output's volume, the question decides (No: Silent, nothing created).
Status CheckSpace(const std::string& firstOutput, int64_t sourceSize, const ChannelSplitHooks& hooks) {
  const int64_t freeBytes = hooks.freeBytes ? hooks.freeBytes(firstOutput) : FreeBytesForOutput(firstOutput);
  if (freeBytes >= sourceSize) return Status::Ok();
  const bool go = hooks.confirmLowSpace && hooks.confirmLowSpace(FormatMessage(MessageId::kLowSpaceQuestion));
  return go ? Status::Ok() : Status::Silent();
}

}  // namespace

std::string ChannelFileName(const std::string& name, int channel) {
  return name + "_" + std::to_string(channel) + ".wav";
}

ChannelSplitResult SplitChannels(const std::string& path, const WaveHeader& header, const std::string& name,
                                 const ChannelSplitHooks& hooks) {
  ChannelSplitResult result;
  auto source = FileSource::Open(path);
  const int64_t size = source ? source->Size() : -1;
  if (size < 0) {
    result.status = Status::Fail(MessageId::kCannotOpen, path);
    return result;
  }
  const int frameBytes = header.FrameSize();
  OutputChunks chunks;
  result.status = frameBytes == 0 ? Status::Fail(MessageId::kNotChannels) : chunks.Read(*source, size, header, path);
  if (!result.status.ok()) return result;
  // The whole frames there are now (the file may have shrunk since it was probed).
  const int64_t frames = WholeFrames(header.Samples(), std::min(header.DataEnd, size) - header.DataOffset);
  const ByteStretch whole{header.DataOffset, frames * frameBytes};
  result.status = CheckSpace(ChannelFileName(name, 1), size, hooks);
  if (!result.status.ok()) return result;
  ChannelOutputs outputs(header, frames, path);
  result.status = outputs.Create(name, chunks.Header({whole}));
  if (result.status.ok()) result.status = CopyFrames(*source, whole, frameBytes, outputs, hooks, path);
  if (result.status.ok()) result.status = outputs.Finish(*source, chunks.Trailing({whole}), hooks.written, result.written);
  return result;
}

}  // namespace sonaveld
