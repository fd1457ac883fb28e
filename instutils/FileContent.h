// Reading a whole file, and replacing one so that a failure at any point
// leaves the old content in place.
#pragma once

#include <string>

namespace qwp {

// The file's bytes; false (and `bytes` empty) when it cannot be opened or read
// to its end.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Writes the bytes to a new file beside `path`, flushes it to the disk and
// renames it over `path` in one step. On any failure the new file is deleted
// and `path` keeps its old content byte for byte (or stays missing); the
// result says whether `path` now holds the bytes.
bool ReplaceFileContent(const std::string& path, const std::string& bytes);

}  // namespace qwp
