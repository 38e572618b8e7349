// Paths and small helpers for the tests.
#pragma once

#include <string>

namespace testsupport {

std::string SourcePath(const std::string& relative);    // in the source tree
// The real captures of the field: ../shared/realdata beside the source tree,
// or the folder KESTRAVA_REALDATA names. They are not part of the repository;
// a clone without them skips the tests that read them.
std::string RealDataFolder();
std::string RealDataPath(const std::string& relative);  // in RealDataFolder()
bool RealDataPresent();
// The one line a test skipped for want of the captures says.
std::string SkipWithoutRealDataReason();
std::string BinPath(const std::string& relative);       // in build/bin

// A fresh empty folder under the system's temporary folder, removed with
// everything in it when the test process ends.
std::string MakeTempFolder(const std::string& tag);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace testsupport

// Ends the running test as skipped, with SkipWithoutRealDataReason's line,
// when the real captures are missing (in a test body or SetUp only: it
// returns). Named like a call, as it reads in a test.
#define SkipWithoutRealData()                                                        \
    do {                                                                                 \
        if (!::testsupport::RealDataPresent()) GTEST_SKIP() << ::testsupport::SkipWithoutRealDataReason(); \
    } while (false)
