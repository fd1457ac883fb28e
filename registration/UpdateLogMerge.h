// The text side of Update.log, without the file system or the Windows API:
// the stamp line of an installation and the merge of its shared-file list
// into the lines of an existing log. The comparison is handed in (the
// program compares by the user's locale), so the same merge runs natively in
// the host tests.
#pragma once

#include <string>
#include <vector>

namespace qwp {

// Negative, zero or positive as a sorts before, equal to or after b.
using LineCompare = int (*)(const std::string& a, const std::string& b);

// "*" and 16 upper-case hexadecimal digits: the 8 bytes of the date-time
// double in memory order (least significant byte first), high nibble first.
std::string UpdateLogStampLine(double installStamp);

// Any line that begins with "*".
bool IsStampLine(const std::string& line);

// Sorts ascending by the comparison; equal entries keep their order.
void SortSharedList(std::vector<std::string>& list, LineCompare compare);

// Binary search in a list sorted by the same comparison.
bool SortedListContains(const std::vector<std::string>& sortedList, const std::string& line, LineCompare compare);

// The lines of the new log: the existing lines without the empty ones and
// without those the list holds again; of each run of adjacent stamp lines
// only the first; no stamp line at the end; then the stamp line and the
// sorted list. The list must be sorted by the comparison.
std::vector<std::string> MergeUpdateLog(const std::vector<std::string>& lines,
                                        const std::vector<std::string>& sortedList, const std::string& stampLine,
                                        LineCompare compare);

}  // namespace qwp
