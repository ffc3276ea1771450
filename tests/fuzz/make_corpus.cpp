// Writes the starting corpus of the fuzz targets: small WAV files of every kind (8/16/24/32-bit
// integer and 32-bit float, the wide ones also extensible and with a fact chunk) and of the header
// shapes the probe knows (extra chunks, a trailing chunk, odd sizes, a data size of 0, a broken
// chunk walk, truncations, foreign formats), mark list texts, and the same files prefixed with the
// controls of the output target, and the bodies of the chunks outputs rebuild (cue, adtl, iXML,
// bext). Usage: make_corpus FOLDER (creates FOLDER/probe, FOLDER/marklist, FOLDER/outputs,
// FOLDER/chunks).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

Bytes MakeChunk(const std::string& id, const Bytes& body) {
  Bytes c;
  Append(c, id);
  Put32(c, static_cast<uint32_t>(body.size()));
  c.insert(c.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) c.push_back(0);
  return c;
}

struct Shape {
  int channels = 2;
  int bits = 16;
  uint16_t tag = 1;         // 3: float
  bool extensible = false;  // a 40-byte format chunk with tag 0xFFFE and tag as its sub-format
  bool fact = false;        // a fact chunk with the frame count right after the format chunk
  int frames = 300;
  Bytes before;             // chunks between "fmt " and "data"
  Bytes after;              // chunks after the data chunk
  int64_t dataField = -1;   // -1: the true size
  int extraBytes = 0;       // sample bytes beyond whole frames
};

Bytes MakeWav(const Shape& s) {
  Bytes fmt;
  Put16(fmt, s.extensible ? 0xFFFE : s.tag);
  Put16(fmt, static_cast<uint16_t>(s.channels));
  Put32(fmt, 8000);
  Put32(fmt, static_cast<uint32_t>(8000 * s.channels * s.bits / 8));
  Put16(fmt, static_cast<uint16_t>(s.channels * s.bits / 8));
  Put16(fmt, static_cast<uint16_t>(s.bits));
  if (s.extensible) {
    Put16(fmt, 22);
    Put16(fmt, static_cast<uint16_t>(s.bits));
    Put32(fmt, s.channels == 2 ? 3 : 4);
    Put16(fmt, s.tag);
    fmt.insert(fmt.end(), {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  }
  Bytes samples;
  const int bytes = s.frames * s.channels * s.bits / 8 + s.extraBytes;
  for (int i = 0; i < bytes; ++i) samples.push_back(static_cast<uint8_t>((i * 37 + i / 7) % 251));
  Bytes w;
  Append(w, "RIFF");
  Put32(w, 0);
  Append(w, "WAVE");
  const Bytes f = MakeChunk("fmt ", fmt);
  w.insert(w.end(), f.begin(), f.end());
  if (s.fact) {
    Bytes count;
    Put32(count, static_cast<uint32_t>(s.frames));
    const Bytes c = MakeChunk("fact", count);
    w.insert(w.end(), c.begin(), c.end());
  }
  w.insert(w.end(), s.before.begin(), s.before.end());
  Append(w, "data");
  Put32(w, static_cast<uint32_t>(s.dataField >= 0 ? s.dataField : static_cast<int64_t>(samples.size())));
  w.insert(w.end(), samples.begin(), samples.end());
  if (samples.size() % 2 == 1 && !s.after.empty()) w.push_back(0);
  w.insert(w.end(), s.after.begin(), s.after.end());
  const uint32_t riff = static_cast<uint32_t>(w.size() - 8);
  for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return w;
}

// The chunks of a field recording: bext (TimeReference 2^32 - 100), iXML with both time sections,
// cue points (frames 0, 40, 150, 299) with labels, a note and a region, and chunks no cut keeps.
Bytes Bext() {
  Bytes body(602, ' ');
  for (int i = 0; i < 8; ++i) body[338 + i] = static_cast<uint8_t>(((uint64_t{1} << 32) - 100) >> (8 * i));
  return MakeChunk("bext", body);
}
Bytes Ixml() {
  const std::string xml =
      "<BWFXML><SPEED><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>0</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>"
      "<TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO>4294967196</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO></SPEED>"
      "<BEXT><BWF_TIME_REFERENCE_HIGH>0</BWF_TIME_REFERENCE_HIGH><BWF_TIME_REFERENCE_LOW> 4294967196"
      " </BWF_TIME_REFERENCE_LOW></BEXT></BWFXML>";
  return MakeChunk("iXML", Bytes(xml.begin(), xml.end()));
}
Bytes CueBody() {
  Bytes body;
  Put32(body, 4);
  uint32_t id = 1;
  for (uint32_t frame : {0u, 40u, 150u, 299u}) {
    Put32(body, id++), Put32(body, id % 2 ? frame : 0), Append(body, "data"), Put32(body, 0), Put32(body, 0);
    Put32(body, frame);
  }
  return body;
}
// A LIST INFO body: a title, a comment, a second title, an odd last item without its pad byte.
Bytes InfoBody() {
  Bytes body;
  Append(body, "INFO");
  for (const char* id : {"INAM", "ICMT", "INAM", "ISFT"}) {
    const Bytes c = MakeChunk(id, Bytes{'t', 'e', 'x', 't', 0});
    body.insert(body.end(), c.begin(), c.end());
  }
  body.pop_back();
  return body;
}

Bytes AdtlBody() {
  Bytes body;
  Append(body, "adtl");
  for (uint32_t id = 1; id <= 4; ++id) {
    Bytes label;
    Put32(label, id);
    Append(label, "m" + std::to_string(id));
    label.push_back(0);
    const Bytes c = MakeChunk("labl", label);
    body.insert(body.end(), c.begin(), c.end());
  }
  Bytes region;
  Put32(region, 2), Put32(region, 200), Append(region, "rgn "), region.insert(region.end(), 8, 0), Append(region, "r");
  for (const Bytes& c : {MakeChunk("ltxt", region), MakeChunk("note", Bytes{3, 0, 0, 0, 'n', 0})}) {
    body.insert(body.end(), c.begin(), c.end());
  }
  return body;
}

// The RF64 (or BW64) form of a RIFF image whose data chunk the walk from byte 12 reaches: a ds64
// chunk after "WAVE" holding the sizes, the RIFF and data size fields 0xFFFFFFFF.
Bytes Widened(const Bytes& riff, const char* magic) {
  auto u32 = [&](size_t at) { return riff[at] | riff[at + 1] << 8 | riff[at + 2] << 16 | uint32_t(riff[at + 3]) << 24; };
  size_t data = 12;
  while (std::string(riff.begin() + data, riff.begin() + data + 4) != "data") data += 8 + (u32(data + 4) + 1) / 2 * 2;
  Bytes ds64;
  for (const uint64_t v : {uint64_t{riff.size() + 28}, uint64_t{u32(data + 4)}, uint64_t{u32(data + 4) / 4}}) {
    Put32(ds64, static_cast<uint32_t>(v));
    Put32(ds64, static_cast<uint32_t>(v >> 32));
  }
  Put32(ds64, 0);
  Bytes wide(magic, magic + 4);
  Put32(wide, 0xFFFFFFFF);
  Append(wide, "WAVE");
  const Bytes chunk = MakeChunk("ds64", ds64);
  wide.insert(wide.end(), chunk.begin(), chunk.end());
  wide.insert(wide.end(), riff.begin() + 12, riff.end());
  for (size_t i = 0; i < 4; ++i) wide[data + 36 + 4 + i] = 0xFF;
  return wide;
}

std::vector<Bytes> Wavs() {
  std::vector<Bytes> out;
  for (int bits : {8, 16}) {
    for (int channels : {1, 2}) {
      Shape s;
      s.bits = bits;
      s.channels = channels;
      out.push_back(MakeWav(s));
      s.frames = 1;
      out.push_back(MakeWav(s));
    }
  }
  // The wide kinds: 24/32-bit integer and 32-bit float, plain and extensible, with a fact chunk, a
  // tail of bytes that make no whole frame, a LIST-INFO chunk after the samples.
  for (int layout = 0; layout < 6; ++layout) {
    Shape s;
    s.bits = layout % 3 == 0 ? 24 : 32;
    s.tag = layout % 3 == 2 ? 3 : 1;
    s.channels = 1 + layout % 2;
    s.extensible = layout >= 3;
    s.fact = layout % 2 == 0;
    s.extraBytes = layout % 3;
    if (layout == 1) s.after = MakeChunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 1, 0, 0, 0, 'x', 0});
    out.push_back(MakeWav(s));
  }
  Shape list;
  list.before = MakeChunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 'c'});
  out.push_back(MakeWav(list));
  Shape trailing;
  trailing.after = MakeChunk("id3 ", Bytes(33, 0x55));
  trailing.extraBytes = 3;
  trailing.bits = 8;
  trailing.channels = 1;
  out.push_back(MakeWav(trailing));
  Shape tagged;  // chunks after the data that outputs carry (LIST-INFO, id3) among ones they do not
  tagged.bits = 8;
  tagged.channels = 1;
  tagged.extraBytes = 1;
  for (const Bytes& c : {MakeChunk("cue ", Bytes(28, 1)),
                         MakeChunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 'c', 0}),
                         MakeChunk("LIST", Bytes{'a', 'd', 't', 'l'}), MakeChunk("ID3 ", Bytes(5, 0x33)),
                         Bytes{'i', 'd', '3', ' ', 40, 0, 0, 0, 1, 2}}) {
    tagged.after.insert(tagged.after.end(), c.begin(), c.end());
  }
  out.push_back(MakeWav(tagged));
  Shape recorder;  // every chunk that outputs rebuild or leave out, before and after the data
  recorder.before = Bext();
  for (const Bytes& c : {MakeChunk("cue ", CueBody()), MakeChunk("smpl", Bytes(60, 2))}) {
    recorder.before.insert(recorder.before.end(), c.begin(), c.end());
  }
  for (const Bytes& c : {MakeChunk("LIST", AdtlBody()), Ixml(), MakeChunk("MD5 ", Bytes(16, 9))}) {
    recorder.after.insert(recorder.after.end(), c.begin(), c.end());
  }
  out.push_back(MakeWav(recorder));
  recorder.before.swap(recorder.after);
  recorder.bits = 8;
  recorder.extraBytes = 1;
  out.push_back(MakeWav(recorder));
  Shape zero;
  zero.dataField = 0;
  out.push_back(MakeWav(zero));
  Shape huge;
  huge.dataField = 0xFFFFFFF0u;
  out.push_back(MakeWav(huge));
  Shape tagInside;  // a "data" tag inside an earlier chunk's body: the walk skips it
  tagInside.before = MakeChunk("junk", Bytes{'d', 'a', 't', 'a', 4, 0, 0, 0, 1, 2, 3, 4});
  out.push_back(MakeWav(tagInside));
  Shape broken;  // a chunk size that throws the walk off the end: the tag search finds the data
  broken.before = MakeChunk("bad ", Bytes(6, 0));
  Bytes b = MakeWav(broken);
  b[36 + 4] = 0xFF;
  b[36 + 7] = 0x7F;
  out.push_back(b);
  Shape large;
  large.frames = 2000;
  out.push_back(MakeWav(large));
  Shape foreign;  // 24-bit float, 64-bit float, a 16-bit file of three channels
  foreign.bits = 24;
  foreign.tag = 3;
  out.push_back(MakeWav(foreign));
  foreign.bits = 64;
  out.push_back(MakeWav(foreign));
  foreign.bits = 16;
  foreign.channels = 3;
  out.push_back(MakeWav(foreign));
  Bytes truncated = MakeWav(Shape{});
  truncated.resize(40);
  out.push_back(truncated);
  out.push_back(Widened(out.front(), "RF64"));
  out.push_back(Widened(MakeWav(recorder), "BW64"));
  out.push_back(Bytes{'R', 'I', 'F', 'F'});
  return out;
}

std::vector<std::string> MarkLists() {
  std::string many;
  for (int i = 1; i <= 255; ++i) many += std::to_string(i * 3) + "\r\n";
  return {"100\r\n200\r\n300\r\n", "1\n", "5\r7\r\n7\n", " 12 \t\r\n+13\r\n", "0\r\n", "-4\r\n", "abc\r\n",
          "9223372036854775807\r\n", "9223372036854775808\r\n", "\r\n", "12\r\n12\r\n", many, many + "9999\r\n"};
}

// The controls of the output target: options, count of marks, idle calls before an abort, percentage.
Bytes Controls(uint8_t options, const std::vector<int64_t>& marks, uint8_t abortAfter, uint8_t percent) {
  Bytes c{options, static_cast<uint8_t>(marks.size()), abortAfter, percent};
  for (int64_t m : marks) {
    const int width = options & 8 ? 8 : 2;
    for (int i = 0; i < width; ++i) c.push_back(static_cast<uint8_t>(static_cast<uint64_t>(m) >> (8 * i)));
  }
  return c;
}

// The bytes of prefix, then those of text.
Bytes Prefixed(Bytes prefix, const std::string& text) {
  Append(prefix, text);
  return prefix;
}

void Write(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_corpus FOLDER\n");
    return 2;
  }
  const fs::path root(argv[1]);
  for (const char* sub : {"probe", "marklist", "outputs", "chunks", "labels", "cuesheet"}) {
    fs::create_directories(root / sub);
  }
  // Label files and cue sheets after the bytes of their rate (44100: 44 AC 00, then a zero).
  const std::string labelFiles[] = {"1.500000\t1.500000\tIntro\n2.25\t4.0\t\n\\\t100.0\t2000.0\n",
                                    "\xEF\xBB\xBF" "0.000069\t0.000069\t\xE7\xAB\xA0\r\n10\t10\r\n"};
  const std::string cueSheets[] = {
      "REM GENRE Live\r\nFILE \"a.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"Open\"\r\n"
      "    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    INDEX 00 00:59:70\r\n    INDEX 01 01:00:00\r\n",
      "\xEF\xBB\xBFtrack 1 audio\ntitle bare name\nindex 01 121:00:74\nFILE b.wav WAVE\nTRACK 2 AUDIO\n"};
  int t = 0;
  for (const std::string& text : labelFiles) {
    Write(root / "labels" / ("labels" + std::to_string(t++)), Prefixed({0x44, 0xAC, 0x00}, text));
  }
  for (const std::string& text : cueSheets) {
    Write(root / "cuesheet" / ("cue" + std::to_string(t++)), Prefixed({0x44, 0xAC, 0x00, 0x00}, text));
  }
  // The chunk parsers' inputs: a time reference, then a body.
  int k = 0;
  for (const Bytes& body : {CueBody(), AdtlBody(), Ixml(), Bext(), InfoBody()}) {
    Bytes input(8, 0x5A);
    input.insert(input.end(), body.begin(), body.end());
    Write(root / "chunks" / ("body" + std::to_string(k++)), input);
  }
  const std::vector<Bytes> wavs = Wavs();
  for (size_t i = 0; i < wavs.size(); ++i) Write(root / "probe" / ("wav" + std::to_string(i)), wavs[i]);
  const std::vector<std::string> lists = MarkLists();
  for (size_t i = 0; i < lists.size(); ++i) {
    Write(root / "marklist" / ("list" + std::to_string(i)), Bytes(lists[i].begin(), lists[i].end()));
  }
  const std::vector<Bytes> controls = {
      Controls(0, {100, 200}, 0, 99),          Controls(1, {50}, 0, 79),
      Controls(2, {1, 51, 52, 120}, 0, 149),    Controls(3, {70, 30, 90}, 0, 0),
      Controls(6, {40, 200}, 2, 99),            Controls(7, {10, 20, 30, 40, 50}, 5, 99),
      Controls(8, {1000, int64_t(1) << 40, INT64_MAX}, 0, 99),
      Controls(9, {-5, 0, 3, INT64_MAX - 1}, 0, 20), Controls(16, {150}, 0, 99),
      Controls(32, {41, 151}, 0, 99),           Controls(32 + 6, {20, 200}, 1, 99),
  };
  int n = 0;
  for (size_t i = 0; i < wavs.size(); ++i) {
    for (size_t j = 0; j < controls.size(); ++j) {
      if ((i + j) % 3 != 0) continue;  // a spread of pairings keeps the corpus small
      Bytes input = controls[j];
      input.insert(input.end(), wavs[i].begin(), wavs[i].end());
      Write(root / "outputs" / ("run" + std::to_string(n++)), input);
    }
  }
  std::printf("%zu WAV files, %zu mark lists, %d output runs in %s\n", wavs.size(), lists.size(), n, argv[1]);
  return 0;
}
