// Writes a 16-bit PCM WAV of CHANNELS channels (2 to 8; extensible with the first CHANNELS bits of
// the 7.1 mask from 3 on) and SECONDS seconds at 48 kHz, each channel a tone of its own: the
// source of poly_bench.sh. Usage: poly_wav OUT CHANNELS SECONDS
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Text(std::vector<uint8_t>& b, const char* s) {
  for (; *s != 0; ++s) b.push_back(static_cast<uint8_t>(*s));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return std::fprintf(stderr, "usage: poly_wav OUT CHANNELS SECONDS\n"), 2;
  const int channels = std::atoi(argv[2]);
  const int64_t frames = int64_t{48000} * std::atoll(argv[3]);
  if (channels < 2 || channels > 8 || frames <= 0) return 2;
  const bool extensible = channels > 2;
  const uint32_t data = static_cast<uint32_t>(frames * channels * 2);
  std::vector<uint8_t> h;
  Text(h, "RIFF");
  Put(h, data + (extensible ? 60 : 36), 4);
  Text(h, "WAVEfmt ");
  Put(h, extensible ? 40 : 16, 4);
  Put(h, extensible ? 0xFFFE : 1, 2);
  Put(h, static_cast<uint32_t>(channels), 2);
  Put(h, 48000, 4);
  Put(h, static_cast<uint32_t>(48000 * channels * 2), 4);
  Put(h, static_cast<uint32_t>(channels * 2), 2);
  Put(h, 16, 2);
  if (extensible) {
    Put(h, 22, 2);
    Put(h, 16, 2);
    const uint32_t speakers[8] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x200, 0x400};  // 7.1 in file order
    uint32_t mask = 0;
    for (int c = 0; c < channels; ++c) mask |= speakers[c];
    Put(h, mask, 4);
    const uint8_t pcm[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    h.insert(h.end(), pcm, pcm + 16);
  }
  Text(h, "data");
  Put(h, data, 4);
  FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  std::fwrite(h.data(), 1, h.size(), out);
  std::vector<int16_t> block(static_cast<size_t>(48000 * channels));
  for (int64_t start = 0; start < frames; start += 48000) {
    const int64_t n = std::min<int64_t>(48000, frames - start);
    for (int64_t f = 0; f < n; ++f) {
      for (int c = 0; c < channels; ++c) {
        const double t = static_cast<double>(start + f) / 48000.0;
        block[static_cast<size_t>(f * channels + c)] =
            static_cast<int16_t>(std::lround(9000 * std::sin(2 * M_PI * (220 + 110 * c) * t)));
      }
    }
    std::fwrite(block.data(), 2, static_cast<size_t>(n * channels), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
