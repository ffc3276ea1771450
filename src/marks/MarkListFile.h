#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "marks/MarkStore.h"

namespace sonaveld {

// The mark list file beside a WAV file: the path up to the last "." of the file name itself, then
// ".txt" (take1.wav → take1.txt); a file name without a dot gets ".txt" appended to the whole path.
std::string MarkListFileName(const std::string& wavePath);

// Writes the marks ascending, one decimal number a line, each ended by CR LF, to the mark list file
// of wavePath (replaced as a whole). Refused with "マークポイトンがありません。…" when there are no
// marks; a file that cannot be created or written gives the create/write message and leaves any
// earlier file as it was.
Status WriteMarkListFile(const std::string& wavePath, const MarkStore& marks);

struct MarkListParse {
  Status status;                // Ok, or the message of the first bad line / the count limit
  std::vector<int64_t> marks;   // ascending, distinct, each at least 1 (only when ok)
};

// Parses the text of a mark list file: lines end at CR LF, LF or CR; every line must be a whole
// number (64-bit, optional sign, surrounding blanks allowed) of at least 1. Duplicates are dropped
// and the marks sorted; more than 255 distinct marks are refused.
MarkListParse ParseMarkList(std::string_view text);

// Reads the mark list file of wavePath into marks, all or nothing: on any refusal the marks stay as
// they were. The missing file gives "マークポイトンを記録しているファイルがありません。".
Status ReadMarkListFile(const std::string& wavePath, MarkStore& marks);

// Reads a marks file given by its own path (the command-line tool's --marks-file).
Status ReadMarkListFrom(const std::string& listPath, MarkStore& marks);

}  // namespace sonaveld
