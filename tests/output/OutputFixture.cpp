#include "output/OutputFixture.h"

#include "io/ByteSource.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {

void OutputTest::MakeSource(const WavRecipe& recipe, const std::string& name) { MakeSource(BuildWav(recipe), name); }

void OutputTest::MakeSource(std::vector<uint8_t> bytes, const std::string& name) {
  sourceBytes = std::move(bytes);
  file.WaveFileName = dir.File(name);
  WriteFileBytes(file.WaveFileName, sourceBytes);
  auto source = FileSource::Open(file.WaveFileName);
  ASSERT_TRUE(source);
  const ProbeResult probe = ProbeWave(*source);
  ASSERT_TRUE(probe.status.ok()) << probe.status.message();
  file.Header = probe.header;
}

OutputOptions OutputTest::FineOptions() {
  OutputOptions options;
  options.blockBytes = 200;
  options.idleInterval = std::chrono::milliseconds(0);
  return options;
}

std::vector<uint8_t> OutputTest::SourceBytes(int64_t begin, int64_t length) const {
  return {sourceBytes.begin() + begin, sourceBytes.begin() + begin + length};
}

void OutputTest::ExpectWav(const std::string& path, const std::vector<uint8_t>& samples,
                           const std::vector<uint8_t>& carried) const {
  const auto bytes = ReadFileBytes(path);
  const auto offset = static_cast<size_t>(file.Header.DataOffset);
  std::vector<uint8_t> tail = carried;
  if (!carried.empty() && samples.size() % 2 == 1) tail.insert(tail.begin(), 0);
  ASSERT_EQ(bytes.size(), offset + samples.size() + tail.size()) << path;
  auto header = SourceBytes(0, file.Header.DataOffset);
  PutU32(header, 4, static_cast<uint32_t>(bytes.size() - 8));
  PutU32(header, offset - 4, static_cast<uint32_t>(samples.size()));
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin())) << "header of " << path;
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), bytes.begin() + static_cast<long>(offset)))
      << "samples of " << path;
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - static_cast<long>(tail.size())))
      << "chunks after the samples of " << path;
  const SndfileInfo info = ReadWithSndfile(path);
  EXPECT_TRUE(info.opened) << path;
  EXPECT_EQ(info.frames, static_cast<int64_t>(samples.size()) / FrameBytes(file.Header.Kind)) << path;
  EXPECT_EQ(info.channels, file.Header.Channels);
  EXPECT_EQ(info.rate, file.Header.SampleRate);
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace sonaveld::test
