#pragma once
#include <string_view>
#include <vector>

namespace sonaveld {

// The lines of text, ended by CR LF, LF or CR (the last may lack its end); a UTF-8 byte order mark
// at the start is dropped when dropBom.
std::vector<std::string_view> SplitLines(std::string_view text, bool dropBom = false);

// text without the blanks (spaces and tabs) at its ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace sonaveld
