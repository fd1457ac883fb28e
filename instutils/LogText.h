// The text form of Install.log, without the file system: 8-bit ANSI lines,
// each followed by CR LF when written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qwp {

// Splits file content into lines. CR LF, a lone CR and a lone LF each end a
// line; an empty line between two line ends is kept, a line end at the very
// end adds no empty line, and the text ends at the first NUL byte.
std::vector<std::string> SplitLogText(std::string_view text);

// Every line followed by CR LF, the last one included.
std::string JoinLogLines(const std::vector<std::string>& lines);

}  // namespace qwp
