// Text for whoever started the program with its standard output captured
// (a deployment tool, a script redirecting it). A GUI program has no console:
// without a handle nothing is written and nothing fails.
#pragma once

#include <string>

namespace qwp {

// Writes the text with each lone CR (the program's line break) as CR LF,
// and a final CR LF.
void WriteToStandardOutput(const std::string& text);

}  // namespace qwp
