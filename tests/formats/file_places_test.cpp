#include "formats/file_places.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace kestrava;
using testsupport::MakeTempFolder;
using testsupport::WriteFile;

namespace fs = std::filesystem;

namespace {

// A program folder with a shipped kestrav.ini and data file, made
// read-only (no write bit at all, which counts for root as well) or left
// writable.
std::string MakeProgramFolder(const std::string& tag, bool readOnly) {
    const std::string folder = MakeTempFolder(tag);
    WriteFile(folder + "/kestrav.ini", "[User]\r\nIVAO_ID=1\r\n");
    WriteFile(folder + "/data/airports.dat", "EDDF:Frankfurt:Frankfurt:DE:50:8\r\n");
    if (readOnly) ::chmod(folder.c_str(), 0555);
    return folder;
}

}  // namespace

TEST(FilePlaces, AWritableProgramFolderKeepsEverythingAndMakesNoUserFolder) {
    const std::string program = MakeProgramFolder("places-portable", false);
    const std::string home = MakeTempFolder("places-home");
    const FilePlaces places = FindFilePlaces(program, (home + "/xdg").c_str(), home.c_str());
    EXPECT_FALSE(places.Installed());
    EXPECT_TRUE(places.CanSave());
    EXPECT_EQ(places.ReadPath("kestrav.ini"), program + "/kestrav.ini");
    EXPECT_EQ(places.ReadPath("data/friends.dat"), program + "/data/friends.dat");
    EXPECT_EQ(places.WritePath("data/friends.dat"), program + "/data/friends.dat");
    EXPECT_EQ(places.LockFolder(), fs::canonical(program).string());
    EXPECT_FALSE(fs::exists(home + "/xdg"));
    EXPECT_FALSE(fs::exists(home + "/.local"));
}

TEST(FilePlaces, AReadOnlyProgramFolderReadsTheUsersFileFirstAndWritesThere) {
    const std::string program = MakeProgramFolder("places-installed", true);
    const std::string home = MakeTempFolder("places-home");
    const std::string user = home + "/xdg/kestrava";
    const FilePlaces places = FindFilePlaces(program, (home + "/xdg").c_str(), home.c_str());
    ASSERT_TRUE(places.Installed());
    EXPECT_TRUE(places.CanSave()) << places.Problem;
    EXPECT_EQ(places.UserFolder, user);
    EXPECT_TRUE(fs::is_directory(user + "/data"));
    EXPECT_TRUE(fs::is_directory(user + "/colours"));
    EXPECT_EQ(places.LockFolder(), fs::canonical(user).string());

    // No file of the user yet: the shipped one is read.
    EXPECT_EQ(places.ReadPath("kestrav.ini"), program + "/kestrav.ini");
    EXPECT_EQ(places.WritePath("kestrav.ini"), user + "/kestrav.ini");
    WriteFile(places.WritePath("kestrav.ini"), "[User]\r\nIVAO_ID=2\r\n");
    EXPECT_EQ(places.ReadPath("kestrav.ini"), user + "/kestrav.ini");
    // A half-copied data/ falls back file by file.
    WriteFile(user + "/data/friends.dat", "1\r\n");
    EXPECT_EQ(places.ReadPath("data/friends.dat"), user + "/data/friends.dat");
    EXPECT_EQ(places.ReadPath("data/airports.dat"), program + "/data/airports.dat");
    // A write into a folder the user removed makes it again.
    fs::remove_all(user + "/colours");
    EXPECT_EQ(places.WritePath("colours/mine.dc"), user + "/colours/mine.dc");
    EXPECT_TRUE(fs::is_directory(user + "/colours"));
    EXPECT_EQ(fs::status(program).permissions() & fs::perms::all, fs::perms(0555));
    ::chmod(program.c_str(), 0755);
}

TEST(FilePlaces, AWritableProgramFolderMarkedInstalledUsesTheUserFolderToo) {
    const std::string program = MakeProgramFolder("places-marked", false);
    WriteFile(program + "/" + kInstalledMarker, "installed\n");
    const std::string home = MakeTempFolder("places-home");
    const FilePlaces places = FindFilePlaces(program, (home + "/xdg").c_str(), home.c_str());
    ASSERT_TRUE(places.Installed());
    EXPECT_EQ(places.ReadPath("kestrav.ini"), program + "/kestrav.ini");
    EXPECT_EQ(places.WritePath("kestrav.ini"), home + "/xdg/kestrava/kestrav.ini");
}

TEST(FilePlaces, WithoutAnAbsoluteXdgDataHomeTheUserFolderIsUnderHome) {
    const std::string program = MakeProgramFolder("places-nox", true);
    const std::string home = MakeTempFolder("places-home");
    EXPECT_EQ(FindFilePlaces(program, nullptr, home.c_str()).UserFolder, home + "/.local/share/kestrava");
    // The XDG rules ignore a relative value, and an empty one.
    EXPECT_EQ(FindFilePlaces(program, "relative/data", home.c_str()).UserFolder,
              home + "/.local/share/kestrava");
    EXPECT_EQ(FindFilePlaces(program, "", home.c_str()).UserFolder, home + "/.local/share/kestrava");
    EXPECT_TRUE(fs::is_directory(home + "/.local/share/kestrava/data"));
    ::chmod(program.c_str(), 0755);
}

TEST(FilePlaces, AUserFolderThatCannotBeMadeOrWrittenNamesItselfAndSavesNothing) {
    const std::string program = MakeProgramFolder("places-locked", true);
    const std::string home = MakeTempFolder("places-home");
    // Cannot be made (not even by root): a file stands where its parent should be.
    const std::string locked = home + "/locked";
    WriteFile(locked, "not a folder");
    FilePlaces places = FindFilePlaces(program, locked.c_str(), home.c_str());
    EXPECT_TRUE(places.Installed());
    EXPECT_FALSE(places.CanSave());
    EXPECT_NE(places.Problem.find(locked + "/kestrava"), std::string::npos) << places.Problem;
    EXPECT_EQ(places.WritePath("kestrav.ini"), "");
    EXPECT_EQ(places.ReadPath("kestrav.ini"), program + "/kestrav.ini");

    // Made earlier, now read-only: the user's files are still read.
    const std::string xdg = home + "/xdg";
    WriteFile(xdg + "/kestrava/kestrav.ini", "[User]\r\nIVAO_ID=3\r\n");
    fs::create_directories(xdg + "/kestrava/data");
    ::chmod((xdg + "/kestrava").c_str(), 0555);
    places = FindFilePlaces(program, xdg.c_str(), home.c_str());
    EXPECT_FALSE(places.CanSave());
    EXPECT_NE(places.Problem.find(xdg + "/kestrava"), std::string::npos) << places.Problem;
    EXPECT_EQ(places.ReadPath("kestrav.ini"), xdg + "/kestrava/kestrav.ini");
    EXPECT_EQ(places.WritePath("data/friends.dat"), "");
    EXPECT_FALSE(fs::exists(xdg + "/kestrava/colours"));

    for (const std::string& folder : {xdg + "/kestrava", program}) ::chmod(folder.c_str(), 0755);
}

TEST(FilePlaces, FolderWritableAsksThePermissionBitsAsWell) {
    const std::string folder = MakeTempFolder("places-bits");
    EXPECT_TRUE(FolderWritable(folder));
    WriteFile(folder + "/file", "x");
    EXPECT_FALSE(FolderWritable(folder + "/file"));
    EXPECT_FALSE(FolderWritable(folder + "/missing"));
    ::chmod(folder.c_str(), 0555);
    EXPECT_FALSE(FolderWritable(folder));
    ::chmod(folder.c_str(), 0755);
}
