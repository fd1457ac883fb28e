// The setup's temporary files: names that cannot meet an existing file, and
// the clean-up at program end that also takes what earlier runs left.
#pragma once

#include <string>

namespace qwp {

// The setup's application title; the temporary names are derived from it.
constexpr char kSetupTitle[] = "Quilvane Word Processor - Setup";

// "~" followed by the ASCII letters of the setup title, in order:
// "~QuilvaneWordProcessorSetup".
std::string TempNamePrefix();

// The temporary folder + prefix + the lowest counter from 0 whose ".tmp"
// name no file uses (a folder of that name does not count). The file is not
// created.
std::string NewTempFileName();

// Deletes every file and folder in the temporary folder whose name begins
// with the prefix (letter case exact). Links are never followed, so nothing
// outside the temporary folder is touched (see DeleteFolderTree). Failures
// are ignored.
void CleanTempFiles();

}  // namespace qwp
