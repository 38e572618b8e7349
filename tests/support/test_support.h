// Paths and small helpers for the tests.
#pragma once

#include <string>

namespace testsupport {

std::string SourcePath(const std::string& relative);    // in the source tree
std::string RealDataPath(const std::string& relative);  // in ../shared/realdata
// An input that once made a reader misbehave, in ../shared/reproductions.
// Its first byte says which reader it is for; the rest is that reader's input.
std::string ReproductionPath(const std::string& name);
// The reader's input of a reproduction: the file without its first byte.
std::string ReproductionInput(const std::string& name);
std::string BinPath(const std::string& relative);       // in build/bin

// A fresh empty folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& tag);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace testsupport
