// File locations and safe writing.
#pragma once

#include <string>
#include <string_view>

namespace kestrava {

// The folder that holds the running program (no trailing slash).
std::string ProgramFolder();

// path joined to the program folder: ProgramPath("data/airports.dat").
std::string ProgramPath(std::string_view relative);

bool FileExists(const std::string& path);

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so a crash mid-write leaves the old file intact. False on failure
// (the old file is then untouched).
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace kestrava
