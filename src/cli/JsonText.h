#pragma once
#include <string>
#include <string_view>

namespace sonaveld::cli {

// text as a JSON string, quotes included: '"' and '\' escaped, control characters as \n, \t, \r,
// \b, \f or \u00XX, and every byte that is not part of well-formed UTF-8 as \ufffd (names read from
// files may come in other encodings), so that the line is always valid JSON.
std::string JsonString(std::string_view text);

}  // namespace sonaveld::cli
