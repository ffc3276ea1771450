#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A second, deliberately plain account of what the engine must produce, written from the rules
// (the RIFF chunk walk, the pairing table, the 200-byte chunk loop of the 8/16-bit files, the
// frame-exact cuts of the 24/32-bit and float files) rather than from the engine's planning code,
// so that the fuzz targets and the soak program can compare the two. It works on whole file images
// in memory and favours obviousness over speed: copies go 200 bytes or one frame at a time and
// positions are computed in 128-bit arithmetic, so no mark value can overflow here.
namespace sonaveld::check {

using Bytes = std::vector<uint8_t>;

// The header values the main window's probe must find.
struct ModelHeader {
  // 1 to 8 channels, rate above 0, a data chunk and bits of 8 or 16 (any format tag), or 24/32 with
  // the integer tag 1, 32 with the float tag 3, or those tags as the sub-format of the extensible
  // tag 0xFFFE with a format chunk of at least 40 bytes
  bool accepted = false;
  bool isFloat = false;       // accepted as 32-bit float
  bool cutsOnFrames = false;  // accepted with 24 or 32 bits: cuts fall exactly on the frames
  int channels = 0;
  int bits = 0;
  int32_t rate = 0;
  int64_t dataOffset = 0;  // 0 when no data chunk was found
  int64_t dataEnd = 0;
  bool sized = false;  // the data size field is above 0 and fits in the file (dataEnd comes from it)
  int frameBytes = 0;  // channels * bits / 8; 0 when not accepted
  bool wideForm = false;  // "RF64" or "BW64" at byte 0: the format fields follow "ds64"
  bool ds64 = false;      // a "ds64" chunk of at least 24 body bytes at byte 12
};

// Reads the header of a file image. firstTag/lastTag: the tag offsets of the fallback "data"
// search (1..100 for the main window, 0..100 for the normalizer).
ModelHeader ModelProbe(const Bytes& file, int firstTag = 1, int lastTag = 100);

// One output's sample bytes, and the source byte runs they came from (offset, length), in order.
struct ModelOutput {
  Bytes samples;
  std::vector<std::pair<int64_t, int64_t>> runs;

  // Appends the n source bytes at at.
  void Append(const Bytes& file, int64_t at, int64_t n);
  // The output stopped after its first n sample bytes.
  ModelOutput Prefix(size_t n) const;
};
using Outputs = std::vector<ModelOutput>;

// The cut-edited file: the selected ranges of the ascending marks, back to back (one output). A
// range of the 8/16-bit files: whole 200-byte chunks from its start byte; of the others, and of
// every file with exact: exactly its frames, those that lie wholly in the sample area.
Outputs ModelCutEdited(const Bytes& file, const ModelHeader& h, const std::vector<int64_t>& marks, bool keepHead,
                       bool exact);
// One output per selected range.
Outputs ModelSplitRanges(const Bytes& file, const ModelHeader& h, const std::vector<int64_t>& marks, bool keepHead,
                         bool exact);
// The pieces of the split at marks: by the literal chunk loop for the 8/16-bit files; for the
// others (and with exact), each whole frame f goes to piece number (count of marks at or before f).
Outputs ModelSplitAtMarks(const Bytes& file, const ModelHeader& h, const std::vector<int64_t>& marks, bool exact);

// The whole expected output file of out. The header: when the chunk walk from byte 12 lands exactly
// on the data chunk's tag, "RIFF", size, "WAVE", each chunk by its id, then "data" and the size;
// otherwise the source's bytes before the samples. Then the samples and, when any follow, a 0 pad
// byte after odd samples and the chunks after the data: those of the walk from dataEnd plus the
// data's pad byte (only when sized) that end within the file, by their ids. By id: LIST-INFO,
// "id3 ", "ID3 " copied (with the source's pad byte, 0 where the file ends before it); "bext" with
// its 64-bit TimeReference at body byte 338, and "iXML" with its time elements, set to the source's
// reference (its first bext's, else its first iXML's, else 0) plus the source frame of the output's
// first whole frame; "cue " with the points whose frame the output holds (the first output frame
// that came from it), their position moved along where it equalled the frame, and LIST-adtl with
// the entries of the kept ids, ltxt regions counted in output frames that came from the region,
// each left out without any; "smpl", "PEAK", "levl", "MD5 " left out; any other copied before the
// data and left out after it. The RIFF size is the file less 8 bytes, the data size the sample
// bytes and, for the files that cut on frames (or with exact), the frame count of the first "fact"
// chunk of the header. keptBytes >= 0: the output was stopped after that many sample bytes; its
// header is the one of what it holds filled to the planned header's size by a "JUNK" chunk (the
// planned one where it cannot be filled).
Bytes ModelOutputFile(const Bytes& source, const ModelHeader& h, const ModelOutput& out, bool exact,
                      int64_t keptBytes = -1);
// Where the samples of out begin in its file.
int64_t ModelDataOffset(const Bytes& source, const ModelHeader& h, const ModelOutput& out);

// The data size field of an output file (its sample byte count); 0 when the file is too short.
int64_t DataSizeField(const Bytes& output, int64_t dataOffset);

// Compares an output file with the expected one; "" when equal, else a description of the first
// difference (for the failure report).
std::string CompareOutput(const Bytes& actual, const Bytes& expected);

// The normalizer's output must keep the source's size, its header up to the data (but the RIFF
// size, the file less 8 bytes, and then the data size, the bytes of the data area) and every byte
// after the data area; "" when it does. h comes from ModelProbe(source, 0, 100).
std::string CheckNormalized(const Bytes& output, const Bytes& source, const ModelHeader& h);

// The whole numbered output name of the plain name "<folder>/<stem>.wav": <folder>/<stem>NN.wav.
std::string NumberedName(const std::string& folder, const std::string& stem, int k);

// True when text is a mark list file the engine must accept; marks then holds its marks sorted
// without duplicates. Lines end at CR LF, LF or CR; each is blanks, an optional sign, decimal
// digits that fit in 64 bits and are at least 1, blanks.
bool ModelParseMarkList(const std::string& text, std::vector<int64_t>* marks);

}  // namespace sonaveld::check
