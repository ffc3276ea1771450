// Writes the bundled demo file: 4 seconds of 16-bit stereo at 44100 Hz with distinct passages
// (a tone, silence, a rising sweep, a decaying chord), so that cuts and marks are easy to see and hear.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>
#include <algorithm>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Left and right sample at time t seconds, each in -1..1.
void Sample(double t, double* left, double* right) {
  *left = *right = 0.0;
  if (t < 1.0) {  // a 440 Hz tone, left louder, with soft edges
    const double env = std::min(1.0, std::min(t, 1.0 - t) * 20.0);
    *left = 0.6 * env * std::sin(2 * kPi * 440 * t);
    *right = 0.3 * env * std::sin(2 * kPi * 660 * t);
  } else if (t >= 1.5 && t < 3.0) {  // a sweep from 200 Hz to 2000 Hz
    const double u = t - 1.5;
    const double phase = 2 * kPi * (200 * u + 600 * u * u);
    const double env = std::min(1.0, std::min(u, 1.5 - u) * 20.0);
    *left = *right = 0.5 * env * std::sin(phase);
  } else if (t >= 3.0) {  // a decaying chord
    const double u = t - 3.0;
    const double env = std::exp(-3.0 * u) * std::min(1.0, (1.0 - u) * 20.0);
    *left = 0.3 * env * (std::sin(2 * kPi * 261.6 * u) + std::sin(2 * kPi * 329.6 * u));
    *right = 0.3 * env * (std::sin(2 * kPi * 329.6 * u) + std::sin(2 * kPi * 392.0 * u));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make-demo-wav OUT.wav [SECONDS]\n");
    return 2;
  }
  // The demo is 4 seconds; benchmarks ask for longer files (the passages repeat every 4 seconds).
  const uint32_t seconds = argc == 3 ? static_cast<uint32_t>(std::atoi(argv[2])) : 4;
  const uint32_t frames = seconds * kRate;
  const uint32_t dataBytes = frames * 4;
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLE(out, 36 + dataBytes, 4);
  for (char c : std::string_view("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);
  PutLE(out, 2, 2);
  PutLE(out, kRate, 4);
  PutLE(out, kRate * 4, 4);
  PutLE(out, 4, 2);
  PutLE(out, 16, 2);
  for (char c : std::string_view("data")) out.push_back(static_cast<uint8_t>(c));
  PutLE(out, dataBytes, 4);
  std::FILE* file = std::fopen(argv[1], "wb");
  bool ok = file != nullptr;
  for (uint32_t f = 0; ok && f < frames; ++f) {
    double left = 0, right = 0;
    Sample(static_cast<double>(f % (4 * kRate)) / kRate, &left, &right);
    PutLE(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(left * 32767))), 2);
    PutLE(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(right * 32767))), 2);
    if (out.size() >= (1 << 20) || f + 1 == frames) {
      ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
      out.clear();
    }
  }
  if (file != nullptr && std::fclose(file) != 0) ok = false;
  if (!ok) {
    std::fprintf(stderr, "make-demo-wav: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
