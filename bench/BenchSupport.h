// What the benchmark programs share: a clock, medians, the payload of a
// setup program read from its file, the folders an install writes, and the
// result lines the table of make bench is made from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qwp::bench {

// Seconds on the performance counter.
double Seconds();

// The middle value; for an even count the mean of the two middle ones. 0
// for none.
double Median(std::vector<double> values);
double Minimum(const std::vector<double>& values);

// The median of the ratios a[i] / b[i] of runs made side by side, round by
// round. On a machine shared with other work a slow spell slows both runs of
// a round, so their ratio swings less than the ratio of the two medians.
double MedianRatio(const std::vector<double>& a, const std::vector<double>& b);

// The bytes of the "FILES" resource of the program file given, read without
// running it; empty when the file or the resource cannot be had.
std::vector<std::uint8_t> PayloadOf(const std::string& programPath);

// The folder of the running program, with its trailing backslash.
std::string OwnFolder();

// A file's size; 0 when it cannot be had.
std::uint64_t FileBytes(const std::string& path);

// An empty folder of this name in the temporary folder, with its trailing
// backslash.
std::string FreshTempFolder(const char* name);

// Creates the folder of a file path (everything up to its last backslash)
// and its missing parents with CreateDirectoryA alone: the shell's own call
// for this also tells the shell of every folder it made, which under Wine
// costs more than the writes it is compared with.
void MakeFolderOf(const std::string& filePath);

// Removes what an install into mainDir left in the file system: the folder
// itself and the product's folder in the common application data.
void RemoveInstalled(const std::string& mainDir);

// One line for the table at the end of make bench:
//   result: <product> <key> <value> [<limit>]
// The limit, where given, is the figure's target (an upper bound).
void PrintResult(const std::string& product, const char* key, double value);
void PrintResult(const std::string& product, const char* key, double value, double limit);

// The result lines of a measurement against its floor, in milliseconds
// round by round: <name>_ms and <name>_floor_ms (the medians), <name>_ratio
// (MedianRatio, with the target when one is given) and <name>_ratio_min
// (the fastest run against the fastest floor run).
void PrintPairResults(const std::string& product, const std::string& name, const std::vector<double>& measured,
                      const std::vector<double>& floor, double limit = 0);

}  // namespace qwp::bench
