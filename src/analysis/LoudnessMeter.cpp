// The measurement of one file: the sample area is cut into stretches, kLoudnessLanes channel
// signals of them run in lockstep on each worker thread. A stretch other than the first starts
// kWarmHops hops early so the K-weighting has forgotten its zero start before its own frames
// (the filter's slowest pole decays by e^-239 over one second, far below double precision).
#include "analysis/LoudnessMeter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

#include "analysis/LoudnessGating.h"
#include "analysis/LoudnessLanes.h"
#include "analysis/SampleDecode.h"
#include "document/SampleLayout.h"

namespace sonaveld {
namespace {

constexpr int L = kLoudnessLanes;
constexpr int64_t kWarmHops = 10;
constexpr int kHistory = 11;  // rows before a chunk that the true-peak filter reads (taps - 1)
constexpr int64_t kChunkRows = 4096;  // rows worked on at a time: 384 KiB of lanes, in the cache
constexpr int64_t kMinThreadHops = 100;  // a thread for at least 10 s of audio
constexpr auto kHookWait = std::chrono::milliseconds(20);
constexpr int64_t kPulsesPerWake = 64;  // about 6 s of audio in a lane, a few ms of work

// Frames [start, end) of a stretch, read from readStart on (its warm-up).
struct Stretch {
  int64_t start = 0, end = 0, readStart = 0;
  int64_t Length() const { return end - start; }
};

// What every worker shares: the source, the flags, the results by hop.
struct Shared {
  Shared(ByteSource& s, const WaveHeader& h, const SampleLayout& l) : source(s), header(h), layout(l) {}
  ByteSource& source;
  const WaveHeader& header;
  SampleLayout layout;
  ByteView view;                     // the whole sample area, when the source shows it
  int64_t hopFrames = 0;
  int64_t hops = 0;                  // whole hops of the file
  std::vector<double> hopSums;       // [channel * hops + hop]: sum of squared K-weighted samples
  std::mutex readLock;               // ReadAt is one stream
  std::atomic<bool> stop{false}, failed{false};
  std::atomic<int64_t> doneBytes{0};
  std::mutex lock;
  std::condition_variable wake;
  int running = 0;
  int64_t pulses = 0;
};

// What one worker found besides the hop sums.
struct GroupPeaks {
  double samplePeak = 0.0;
  float truePeak = 0.0f;
  int64_t nonFinite = 0;
};

class GroupWorker {
 public:
  GroupWorker(Shared& shared, std::vector<Stretch> stretches, const KWeighting& weighting,
              const TruePeakFilter& peakFilter)
      : s_(shared), stretches_(std::move(stretches)), weighting_(weighting), peakFilter_(peakFilter),
        rows_(std::min(shared.hopFrames, kChunkRows)),
        doubles_(DoubleRows(shared.layout) ? static_cast<size_t>(rows_ * L) : 0),
        floats_(static_cast<size_t>((rows_ + kHistory) * L)),
        raw_(static_cast<size_t>(rows_ * shared.layout.FrameBytes())) {}

  // Works through the stretches hop by hop, from the earliest warm-up to the end of the longest,
  // each hop in chunks of at most kChunkRows rows (rows past the end of every stretch are left out).
  void Run() {
    int64_t first = 0, longest = 0;
    for (const Stretch& st : stretches_) {
      if (st.Length() == 0) continue;
      first = std::min(first, st.readStart - st.start);
      longest = std::max(longest, st.Length());
    }
    const int64_t hop = s_.hopFrames;
    for (int64_t p = first; p < longest && !s_.stop.load(); p += hop) {
      double sums[L] = {};
      const int64_t rows = std::min(hop, longest - p);
      for (int64_t q = 0; q < rows && !s_.stop.load(); q += rows_) {
        if (!Chunk(p + q, std::min(rows_, rows - q), p >= 0, sums)) {
          s_.failed = true;
          s_.stop = true;
        }
        Pulse();
      }
      if (p >= 0) KeepHop(p, sums);
    }
  }
  const GroupPeaks& peaks() const { return peaks_; }

 private:
  // The lanes the stretches fill: every channel of each (fewer than L where L is no multiple).
  int UsedLanes() const { return static_cast<int>(stretches_.size()) * s_.layout.channels; }

  // Counts a chunk done; every kPulsesPerWake-th wakes the thread serving the hooks (which also
  // wakes on its own every kHookWait), so the workers do not hand the cores to it chunk by chunk.
  void Pulse() {
    bool wake = false;
    {
      std::lock_guard guard(s_.lock);
      wake = ++s_.pulses % kPulsesPerWake == 0;
    }
    if (wake) s_.wake.notify_one();
  }

  // Rows [p, p + n) of every lane, p frames after each stretch's start: their squares added to
  // sums, and their true peaks taken when own (not warm-up).
  bool Chunk(int64_t p, int64_t n, bool own, double sums[L]) {
    // Rows that no stretch fills (warm-up before the file, past a stretch's end) hold silence.
    const bool full = std::all_of(stretches_.begin(), stretches_.end(), [&](const Stretch& st) {
      return st.start + p >= st.readStart && st.start + p + n <= st.end;
    });
    if (!full) {
      std::fill(doubles_.begin(), doubles_.end(), 0.0);
      std::fill(floats_.begin() + kHistory * L, floats_.end(), 0.0f);
    }
    const int channels = s_.layout.channels;
    for (size_t g = 0; g < stretches_.size(); ++g) {
      if (!Fill(stretches_[g], p, n, static_cast<int>(g) * channels)) return false;
    }
    if (doubles_.empty()) {
      KWeightRows(weighting_, state_, floats_.data() + kHistory * L, n, sums);
    } else {
      KWeightRows(weighting_, state_, doubles_.data(), n, sums);
    }
    if (own) TakePeaks(p, n);
    // The last rows stay for the interpolation of the next chunk's first ones.
    const auto end = floats_.begin() + (kHistory + n) * L;
    std::copy(end - kHistory * L, end, floats_.begin());
    return true;
  }

  // The true peaks of rows [p, p + n) of every lane, up to its stretch's end.
  void TakePeaks(int64_t p, int64_t n) {
    // Lanes no stretch fills (3, 5 to 7 channels) hold silence: they take every row, so that the
    // vector loop is not cut short for them.
    int64_t limit[L];
    std::fill(std::begin(limit), std::end(limit), n);
    for (int lane = 0; lane < UsedLanes(); ++lane) {
      limit[lane] = std::max<int64_t>(0, stretches_[static_cast<size_t>(lane / s_.layout.channels)].Length() - p);
    }
    float top[L] = {};
    TruePeakRows(peakFilter_, floats_.data() + kHistory * L, n, limit, top);
    for (float t : top) peaks_.truePeak = std::max(peaks_.truePeak, t);
  }

  // The sums of the hop starting p frames into each stretch, where it is a whole hop of the file.
  void KeepHop(int64_t p, const double sums[L]) {
    const int channels = s_.layout.channels;
    for (int lane = 0; lane < UsedLanes(); ++lane) {
      const Stretch& st = stretches_[static_cast<size_t>(lane / channels)];
      const int64_t hop = (st.start + p) / s_.hopFrames;
      if (p + s_.hopFrames <= st.Length() && hop < s_.hops) {
        s_.hopSums[static_cast<size_t>((lane % channels) * s_.hops + hop)] = sums[lane];
      }
    }
  }

  // Decodes the frames of stretch st that fall in rows [p, p + n) into lanes firstLane...
  bool Fill(const Stretch& st, int64_t p, int64_t n, int firstLane) {
    const int64_t from = std::max(st.start + p, st.readStart);
    const int64_t to = std::min(st.start + p + n, st.end);
    if (from >= to) return true;
    const int64_t frameBytes = s_.layout.FrameBytes();
    const int64_t offset = from * frameBytes;
    const int64_t bytes = (to - from) * frameBytes;
    const int64_t row = from - (st.start + p);
    DecodeTarget target{doubles_.empty() ? nullptr : doubles_.data() + row * L, floats_.data() + (kHistory + row) * L,
                        firstLane};
    const bool own = from >= st.start;  // not warm-up: counts for the peaks and the progress
    DecodeTally tally;
    bool ok = true;
    if (s_.view.shown) {
      const uint8_t* data = s_.view.data + offset;
      auto decode = [&] { DecodeFrames(s_.layout, data, to - from, target, tally); };
      ok = s_.source.Guarded(decode);
    } else {
      std::lock_guard guard(s_.readLock);
      ok = s_.source.ReadAt(s_.header.DataOffset + offset, raw_.data(), bytes) == bytes;
      if (ok) DecodeFrames(s_.layout, raw_.data(), to - from, target, tally);
    }
    if (!ok) return false;
    if (own) {
      peaks_.samplePeak = std::max(peaks_.samplePeak, tally.peak);
      peaks_.nonFinite += tally.nonFinite;
      s_.doneBytes += bytes;
    }
    return true;
  }

  Shared& s_;
  std::vector<Stretch> stretches_;
  const KWeighting& weighting_;
  const TruePeakFilter& peakFilter_;
  int64_t rows_;                 // rows of one chunk
  std::vector<double> doubles_;  // rows_ x L, for a layout of DoubleRows only
  std::vector<float> floats_;    // (kHistory + rows_) x L
  std::vector<uint8_t> raw_;     // one chunk of one stretch, where the source shows no view
  LaneFilterState state_;
  GroupPeaks peaks_;
};

// Stretches of `hops` whole hops each, the last reaching to the end of the frames.
std::vector<Stretch> CutStretches(int64_t frames, int64_t hopFrames, int count) {
  const int64_t hops = frames / hopFrames;
  const int64_t each = std::max<int64_t>(1, (hops + count - 1) / count) * hopFrames;
  std::vector<Stretch> stretches(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    Stretch& st = stretches[static_cast<size_t>(k)];
    st.start = std::min(frames, k * each);
    st.end = (k + 1 == count || (k + 1) * each >= frames) ? frames : (k + 1) * each;
    st.end = std::max(st.end, st.start);
    // An empty stretch reads nothing, not even a warm-up.
    st.readStart = st.end > st.start ? std::max<int64_t>(0, st.start - kWarmHops * hopFrames) : st.start;
  }
  return stretches;
}

double Decibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity(); }

// The threads asked for (or one per processor), no more than one per 10 s of audio.
int ThreadsFor(const LoudnessOptions& options, int64_t hops) {
  const int64_t asked = options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::clamp<int64_t>(hops / kMinThreadHops, 1, asked));
}

// Waits for the workers on the calling thread, passing the hooks on as they work.
void Attend(Shared& shared, const LoudnessHooks& hooks, int64_t total) {
  IdleThrottle idle(hooks.idleInterval);
  // A stop asked for before the work has begun holds even if the workers end before the first
  // wait does.
  if (hooks.stopTest && hooks.stopTest()) shared.stop = true;
  std::unique_lock guard(shared.lock);
  int64_t seen = 0;
  while (shared.running > 0) {
    shared.wake.wait_for(guard, kHookWait, [&] { return shared.running == 0 || shared.pulses != seen; });
    seen = shared.pulses;
    guard.unlock();
    if (hooks.stopTest && !shared.stop && hooks.stopTest()) shared.stop = true;
    if (hooks.progress) hooks.progress(shared.doneBytes.load(), total);
    if (hooks.idle && idle.Due()) hooks.idle();
    guard.lock();
  }
}

// Runs a worker per thread over the file's frames, the hooks served on this thread; the peaks
// each found. A thread the system will not start is run here instead.
std::vector<GroupPeaks> RunGroups(Shared& shared, int64_t frames, const LoudnessOptions& options,
                                  const LoudnessHooks& hooks, const KWeighting& weighting,
                                  const TruePeakFilter& peakFilter) {
  const int threads = ThreadsFor(options, shared.hops);
  const int perGroup = L / shared.layout.channels;
  const std::vector<Stretch> stretches = CutStretches(frames, shared.hopFrames, threads * perGroup);
  std::vector<GroupWorker> workers;
  workers.reserve(static_cast<size_t>(threads));
  for (int t = 0; t < threads; ++t) {
    auto first = stretches.begin() + t * perGroup;
    workers.emplace_back(shared, std::vector<Stretch>(first, first + perGroup), weighting, peakFilter);
  }
  shared.running = threads;
  std::vector<std::thread> pool;
  for (GroupWorker& w : workers) {
    auto work = [&shared, &w] {
      w.Run();
      std::lock_guard guard(shared.lock);
      --shared.running;
      shared.wake.notify_one();
    };
    try {
      pool.emplace_back(work);
    } catch (const std::system_error&) {
      work();
    }
  }
  Attend(shared, hooks, frames * shared.layout.FrameBytes());
  for (std::thread& t : pool) t.join();
  std::vector<GroupPeaks> peaks;
  for (const GroupWorker& w : workers) peaks.push_back(w.peaks());
  return peaks;
}

// The figures from the hop sums and the workers' peaks.
LoudnessFigures FiguresOf(const Shared& shared, const std::vector<GroupPeaks>& peaks, bool dualMono) {
  const double monoWeight = (shared.layout.channels == 1 && dualMono) ? 2.0 : 1.0;
  const uint32_t mask = shared.header.HasChannelMask ? shared.header.ChannelMask : 0;
  std::vector<double> hops(static_cast<size_t>(shared.hops), 0.0);
  for (int c = 0; c < shared.layout.channels; ++c) {
    const double weight = monoWeight * LoudnessChannelWeight(mask, c, shared.layout.channels);
    if (weight == 0.0) continue;  // the LFE channel
    for (int64_t h = 0; h < shared.hops; ++h) {
      hops[static_cast<size_t>(h)] += weight * shared.hopSums[static_cast<size_t>(c * shared.hops + h)];
    }
  }
  LoudnessFigures f{};
  GateLoudness(hops, shared.hopFrames, f);
  GroupPeaks all;
  for (const GroupPeaks& p : peaks) {
    all.samplePeak = std::max(all.samplePeak, p.samplePeak);
    all.truePeak = std::max(all.truePeak, p.truePeak);
    all.nonFinite += p.nonFinite;
  }
  f.samplePeakDbfs = Decibels(all.samplePeak);
  f.truePeakDbtp = Decibels(std::max<double>(all.truePeak, all.samplePeak));
  f.nonFiniteSamples = all.nonFinite;
  return f;
}

}  // namespace

double LoudnessChannelWeight(uint32_t mask, int channel, int channels) {
  if (channels <= 2) return 1.0;
  // The speaker of the channel: the channel-th set bit of the mask, none past the set bits.
  uint32_t speaker = 0;
  for (uint32_t rest = mask, k = 0; rest != 0; rest &= rest - 1, ++k) {
    if (k == static_cast<uint32_t>(channel)) {
      speaker = rest & (~rest + 1);
      break;
    }
  }
  constexpr uint32_t kLowFrequency = 0x8;
  // Back left and right, back centre, side left and right.
  constexpr uint32_t kSurrounds = 0x10 | 0x20 | 0x100 | 0x200 | 0x400;
  if (speaker == kLowFrequency) return 0.0;
  if ((speaker & kSurrounds) != 0) return 1.41;
  return 1.0;
}

Result<LoudnessFigures> MeasureLoudness(ByteSource& source, const WaveHeader& header, const LoudnessOptions& options,
                                        const LoudnessHooks& hooks, const std::string& path) {
  Result<LoudnessFigures> result;
  const SampleLayout layout = header.Samples();
  if (layout.channels == 0) {
    result.status = Status::Fail(MessageId::kNotBits);
    return result;
  }
  if (header.SampleRate < kLoudnessMinRate) {
    result.status = Status::Fail(MessageId::kLoudnessLowRate, path);
    return result;
  }
  Shared shared(source, header, layout);
  const int64_t frameBytes = layout.FrameBytes();
  int64_t frames = std::max<int64_t>(0, header.DataEnd - header.DataOffset) / frameBytes;
  shared.view = source.View(header.DataOffset, frames * frameBytes);
  if (shared.view.shown) frames = std::min(frames, shared.view.size / frameBytes);
  shared.hopFrames = (int64_t{header.SampleRate} + 5) / 10;
  shared.hops = frames / shared.hopFrames;
  shared.hopSums.assign(static_cast<size_t>(shared.hops * layout.channels), 0.0);

  const std::vector<GroupPeaks> peaks =
      RunGroups(shared, frames, options, hooks, KWeightingFor(header.SampleRate), TruePeakFilterFor(header.SampleRate));
  if (shared.failed) {
    result.status = Status::Fail(MessageId::kCannotRead, path);
  } else if (shared.stop) {
    result.status = Status::Stopped();
  } else {
    result.value = FiguresOf(shared, peaks, options.dualMono);
  }
  return result;
}

}  // namespace sonaveld
