// Peak view benchmark.
//   peak_bench [FILE.wav] [--cold]   times the summary build, the redraws of the peak view at
//                                    zooms 1 .. 2147483647 and scroll positions across the file,
//                                    and the extra memory. FILE defaults to
//                                    /dev/shm/sonaveld-peak-bench.wav, made (1 GiB, 16-bit stereo)
//                                    when missing. --cold drops the file from the page cache first
//                                    (a file on disk, not on tmpfs).
//   peak_bench --make FILE SECONDS   writes SECONDS of 16-bit stereo speech-like bursts with
//                                    pauses and one full-scale click at 61 % of the file.
// Each redraw is what WaveDrow does for the lanes: open the file, the view-bounds step, the lanes.
#include <fcntl.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "peaks/ColumnPeaks.h"
#include "peaks/SummaryBuilder.h"
#include "view/PeakLanes.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"
#include "view/WaveLanes.h"

using namespace sonaveld;
using Clock = std::chrono::steady_clock;

namespace {

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// VmRSS or VmHWM of this process in KiB.
long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
  }
  return -1;
}

void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Speech-like: bursts of 80..400 ms of a voiced tone with a moving pitch and noise, pauses of
// 40..900 ms with faint noise, one full-scale click (left up, right down).
bool MakeWav(const std::string& path, int64_t seconds) {
  const int rate = 44100;
  const int64_t frames = seconds * rate;
  const int64_t click = frames * 61 / 100 + 17;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  const std::string header = "RIFF" + u32(uint32_t(36 + frames * 4)) + "WAVEfmt " + u32(16) +
                             std::string{1, 0, 2, 0} + u32(rate) + u32(rate * 4) + std::string{4, 0, 16, 0} +
                             "data" + u32(uint32_t(frames * 4));
  std::fwrite(header.data(), 1, header.size(), out);
  uint64_t lcg = 88172645463325252ull;
  auto random = [&lcg] { lcg = lcg * 6364136223846793005ull + 1442695040888963407ull; return double(lcg >> 11) / 9007199254740992.0; };
  std::vector<int16_t> buffer;
  int64_t segmentEnd = 0;
  bool voiced = false;
  double amplitude = 0, pitch = 150, phase = 0;
  for (int64_t f = 0; f < frames; ++f) {
    if (f == segmentEnd) {
      voiced = !voiced;
      segmentEnd = f + int64_t((voiced ? 0.08 + 0.32 * random() : 0.04 + 0.86 * random()) * rate);
      amplitude = 4000 + 24000 * random();
      pitch = 100 + 150 * random();
    }
    const double left = segmentEnd - f;
    const double envelope = voiced ? std::min(1.0, std::min(left, 400.0) / 400.0) : 0;
    phase += 2 * M_PI * pitch / rate;
    const double voice = std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.3 * std::sin(3 * phase);
    const double v = amplitude * envelope * voice / 1.8 + (random() - 0.5) * (voiced ? 2000 : 300);
    int16_t l = int16_t(std::clamp(v, -32768.0, 32767.0)), r = int16_t(std::clamp(0.7 * v, -32768.0, 32767.0));
    if (f + 1 == click) l = 32767, r = -32768;
    buffer.push_back(l);
    buffer.push_back(r);
    if (buffer.size() >= (1u << 20) || f + 1 == frames) {
      std::fwrite(buffer.data(), 2, buffer.size(), out);
      buffer.clear();
    }
  }
  return std::fclose(out) == 0;
}

struct Timing {
  double max = 0, sum = 0;
  int count = 0;
  void Add(double ms) {
    max = std::max(max, ms);
    sum += ms;
    ++count;
  }
};

// One redraw of the lanes as WaveDrow does it; peak view or the one-frame drawing.
double Redraw(const std::string& path, const WaveHeader& h, const peaks::PeakSummary* summary, int64_t position,
              int32_t zoom, bool peakView, QImage& one, QImage& two) {
  const Clock::time_point start = Clock::now();
  std::unique_ptr<FileSource> file = FileSource::Open(path);
  const int64_t viewStart = view::SnapToZoomGrid(position, zoom);
  const view::ViewBounds bounds = view::ComputeViewBounds(h, viewStart, zoom);
  if (peakView) {
    view::DrawPeakLanes(*file, h, summary, viewStart, bounds.viewEnd, zoom, one, two);
  } else {
    view::DrawWaveLanes(*file, h, viewStart, bounds.viewEnd, zoom, one, two);
  }
  return MsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--make") return MakeWav(argv[2], std::atoll(argv[3])) ? 0 : 1;
  std::string path = "/dev/shm/sonaveld-peak-bench.wav";
  bool cold = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--cold") cold = true;
    else path = argv[i];
  }
  if (access(path.c_str(), R_OK) != 0) {
    std::printf("making %s (1 GiB) ...\n", path.c_str());
    if (!MakeWav(path, (int64_t{1} << 30) / (44100 * 4))) return 1;
  }
  {
    const int fd = open(path.c_str(), O_RDONLY);
    if (cold) {
      fdatasync(fd);
      posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    } else {
      std::vector<char> sink(1 << 20);
      while (read(fd, sink.data(), sink.size()) > 0) {}
    }
    close(fd);
  }
  WaveHeader h;
  {
    std::unique_ptr<FileSource> file = FileSource::Open(path);
    if (!file) return 1;
    h = ProbeWave(*file, path).header;
  }
  std::printf("file: %s, %lld bytes, %lld frames, %s page cache\n", path.c_str(), (long long)h.FileSize,
              (long long)h.Frames(), cold ? "dropped from the" : "in the");

  QImage one = view::NewLane(), two = view::NewLane();
  const int32_t zooms[] = {1, 10, 100, 255, 1000, 10000, 100000, 2147483647};
  if (cold) {
    // What the window thread does while the summary builds: the one-frame drawing or the direct
    // peaks of a narrow view, measured on the cold file.
    for (int32_t zoom : {100, 10000}) {
      const bool direct = !peaks::NeedsSummary(h, 1 + h.Frames() / 3, zoom, 759);
      std::printf("cold first draw at zoom %d (%s): %.1f ms\n", zoom, direct ? "direct peaks" : "one-frame drawing",
                  Redraw(path, h, nullptr, 1 + h.Frames() / 3, zoom, direct, one, two));
    }
  }

  const long rssBefore = StatusKiB("VmRSS");
  ResetPeakRss();
  const long hwmBefore = StatusKiB("VmHWM");
  const Clock::time_point buildStart = Clock::now();
  peaks::SummaryBuilder builder(peaks::SummaryBuilder::FileOpener(path), h);
  while (!builder.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double buildMs = MsSince(buildStart);
  const peaks::PeakSummary* summary = builder.Ready();
  if (summary == nullptr) {
    std::printf("summary build failed\n");
    return 1;
  }
  std::printf("summary: block %lld frames, %.2f MiB, built in %.0f ms\n", (long long)summary->BlockFrames(),
              summary->Bytes() / 1048576.0, buildMs);
  std::printf("extra memory: resident +%.2f MiB after the build, peak +%.2f MiB during it\n",
              (StatusKiB("VmRSS") - rssBefore) / 1024.0, (StatusKiB("VmHWM") - hwmBefore) / 1024.0);

  std::printf("%-11s %12s %12s %14s %14s\n", "zoom", "peak max ms", "peak mean ms", "1-frame max ms",
              "1-frame mean ms");
  const int positions = 41;
  double worst = 0;
  for (int32_t zoom : zooms) {
    Timing peak, plain;
    const int64_t lastStart = std::max<int64_t>(1, h.Frames() - 760LL * zoom);
    for (int i = 0; i < positions; ++i) {
      const int64_t position = 1 + lastStart * i / (positions - 1) + (i % 3) * 37;  // off the block grid too
      peak.Add(Redraw(path, h, summary, position, zoom, true, one, two));
      plain.Add(Redraw(path, h, nullptr, position, zoom, false, one, two));
    }
    worst = std::max(worst, peak.max);
    std::printf("%-11d %12.2f %12.2f %14.2f %14.2f\n", zoom, peak.max, peak.sum / peak.count, plain.max,
                plain.sum / plain.count);
  }
  std::printf("slowest peak redraw: %.2f ms (target <= 30)\n", worst);
  return 0;
}
