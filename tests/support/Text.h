// Small text helpers of the tests that look at what the setup wrote and
// showed: quoting a command-line argument, letter case, lines, joining.
#pragma once

#include <string>
#include <vector>

namespace qwp::test {

// The text in double quotes, as a command-line argument with spaces needs.
std::string Quoted(const std::string& text);

// Lower case as the system folds it, for paths compared without case.
std::string Lower(std::string text);

bool StartsWith(const std::string& text, const std::string& prefix);

// The lines of a text without their line ends (LF or CR LF); a last line
// without an end counts, an empty text has none.
std::vector<std::string> LinesOf(const std::string& text);

// The items with the separator between them; empty for no items.
std::string Joined(const std::vector<std::string>& items, const char* separator);

}  // namespace qwp::test
