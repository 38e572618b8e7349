// The user's files on disk: long values, other encodings, files that cannot
// be read, failed and interrupted saves, symbolic links and the viewer's
// lock.
#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "formats/text.h"
#include "formats/viewer_lock.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <string>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrava;
using testsupport::MakeTempFolder;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace fs = std::filesystem;

namespace {

// What `check` gives when run in a child process as the user "nobody"
// (uid 65534); -1 when the child could not drop its privileges.
int AsNobody(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(check() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 2) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

TEST(SavedFiles, ValuesLongerThan255CharactersGoThroughTheViewerWhole) {
    const std::string path = MakeTempFolder("long-values") + "/kestrav.ini";
    const std::string address = "https://mirror.example/" + std::string(264, 'd') + "/whazzup.json";
    const std::string id = std::string(400, '7');
    ASSERT_EQ(address.size(), 300u);
    WriteFile(path, "[User]\r\nIVAO_ID=" + id + "\r\n[Network]\r\nIVAODataUrl=" + address + "\r\n");

    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    const Settings read = ReadSettings(ini, {1920, 1080});
    EXPECT_EQ(read.DataUrls[0], address);
    EXPECT_EQ(read.UserIds[0], id);
    WriteSettings(ini, read);
    ASSERT_TRUE(ini.Save(path));

    IniFile again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(again.Get("Network", "IVAODataUrl", ""), address);
    EXPECT_EQ(again.Get("User", "IVAO_ID", ""), id);
    EXPECT_NE(ReadFile(path).find("IVAODataUrl=" + address + "\r\n"), std::string::npos);
}

TEST(SavedFiles, Utf16AndUtf8WithAMarkAreReadAsSuchAndWrittenBackInTheirForm) {
    // "; Łódź notes" (Ł and ź are not Windows-1252), then IVAO_ID "café".
    const std::string utf8 = "; \xC5\x81\xC3\xB3\x64\xC5\xBA notes\r\n[User]\r\nIVAO_ID=caf\xC3\xA9\r\n";
    const std::string changed = "; \xC5\x81\xC3\xB3\x64\xC5\xBA notes\r\n[User]\r\nIVAO_ID=caf\xC3\xA9\r\n"
                                "VATSIM_ID=\xE2\x82\xAC" "5\r\n";  // "€5"
    struct Form {
        TextForm form;
        std::string mark;
        bool utf16, big;
    };
    for (const Form& f : {Form{TextForm::Utf16Le, "\xFF\xFE", true, false}, Form{TextForm::Utf16Be, "\xFE\xFF", true, true},
                          Form{TextForm::Utf8Bom, "\xEF\xBB\xBF", false, false}}) {
        auto encoded = [&](const std::string& text) { return f.mark + (f.utf16 ? Utf8ToUtf16(text, f.big) : text); };
        const std::string path = MakeTempFolder("encoded") + "/kestrav.ini";
        WriteFile(path, encoded(utf8));
        IniFile ini;
        ASSERT_TRUE(ini.Load(path)) << f.mark;
        EXPECT_EQ(ini.Form(), f.form);
        EXPECT_EQ(ini.Get("User", "IVAO_ID", ""), "caf\xE9");  // Windows-1252 inside
        ini.Set("User", "VATSIM_ID", "\x80" "5");
        ASSERT_TRUE(ini.Save(path));
        // The whole file in its own form: the untouched comment keeps the
        // characters Windows-1252 lacks, the new line is encoded alike.
        EXPECT_EQ(ReadFile(path), encoded(changed)) << f.mark;
    }
    // Without a mark the file is Windows-1252 and stays so.
    IniFile ansi;
    ASSERT_TRUE(ansi.LoadBytes("[User]\r\nIVAO_ID=caf\xE9\r\n"));
    EXPECT_EQ(ansi.Form(), TextForm::Ansi);
    EXPECT_EQ(ansi.Bytes(), "[User]\r\nIVAO_ID=caf\xE9\r\n");
}

TEST(SavedFiles, AFileThatExistsButCannotBeReadIsToldApartFromAMissingOne) {
    const std::string folder = MakeTempFolder("unreadable");
    IniFile ini;
    EXPECT_TRUE(ini.Load(folder + "/missing.ini"));
    fs::create_directory(folder + "/folder.ini");
    EXPECT_FALSE(ini.Load(folder + "/folder.ini"));
    WriteFile(folder + "/binary.ini", std::string("[User]\r\nIVAO_ID=1\0\x01\x02", 20));
    EXPECT_FALSE(ini.Load(folder + "/binary.ini"));
    // Write-only for its owner (mode 0200), read as a user without rights.
    const std::string locked = folder + "/locked.ini";
    WriteFile(locked, "[User]\r\nIVAO_ID=1\r\n");
    ::chmod(folder.c_str(), 0755);
    ::chown(locked.c_str(), 65534, 65534);
    ::chmod(locked.c_str(), 0200);
    const int result = AsNobody([&] {
        IniFile asUser;
        return asUser.Load(locked);
    });
    if (result < 0) GTEST_SKIP() << "cannot run a check as another user here";
    EXPECT_EQ(result, 0) << "a file without read permission was taken for a missing one";
}

TEST(SavedFiles, AFullDiskFailsTheSaveWithItsReasonAndKeepsTheOldFile) {
    const std::string folder = MakeTempFolder("full-disk");
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    struct Unmount {
        std::string folder;
        ~Unmount() { ::umount2(folder.c_str(), MNT_DETACH); }
    } unmount{folder};
    const std::string path = folder + "/kestrav.ini";
    WriteFile(path, "[User]\r\nIVAO_ID=123\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.Set("User", "Note", std::string(200000, 'n'));
    std::string reason;
    EXPECT_FALSE(ini.Save(path, &reason));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(ReadFile(path), "[User]\r\nIVAO_ID=123\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);  // no temporary file left
}

TEST(SavedFiles, ALinkedFileIsWrittenThroughAndAFolderInItsPlaceIsRefused) {
    const std::string folder = MakeTempFolder("linked");
    WriteFile(folder + "/real/kestrav.ini", "[User]\r\nIVAO_ID=1\r\n");
    fs::create_symlink(folder + "/real/kestrav.ini", folder + "/kestrav.ini");
    std::string reason;
    ASSERT_TRUE(WriteFileAtomic(folder + "/kestrav.ini", "[User]\r\nIVAO_ID=2\r\n", &reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(folder + "/kestrav.ini"));
    EXPECT_EQ(ReadFile(folder + "/real/kestrav.ini"), "[User]\r\nIVAO_ID=2\r\n");

    fs::create_directory(folder + "/friends.dat");
    EXPECT_FALSE(WriteFileAtomic(folder + "/friends.dat", "x\r\n", &reason));
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_TRUE(fs::is_directory(folder + "/friends.dat"));
}

TEST(SavedFiles, TemporaryFilesOfInterruptedSavesAreRemovedAtTheNextStart) {
    const std::string program = MakeTempFolder("stale");
    // A process that has ended: a child that exits at once.
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string gone = std::to_string(ended), running = std::to_string(::getppid());
    WriteFile(program + "/kestrav.ini.tmp" + gone, "half");
    WriteFile(program + "/data/friends.dat.tmp" + gone, "half");
    WriteFile(program + "/colours/mine.dc.tmp" + gone, "half");
    WriteFile(program + "/data/whazzup.txt.tmp" + running, "being written");  // its writer still runs
    WriteFile(program + "/data/notes.tmp", "mine");
    WriteFile(program + "/data/report.tmp12x", "mine");
    const FilePlaces places = FindFilePlaces(program, nullptr, nullptr);
    ASSERT_FALSE(places.Installed());
    EXPECT_EQ(RemoveInterruptedSaves(places), 3);
    EXPECT_FALSE(fs::exists(program + "/kestrav.ini.tmp" + gone));
    EXPECT_FALSE(fs::exists(program + "/data/friends.dat.tmp" + gone));
    EXPECT_FALSE(fs::exists(program + "/colours/mine.dc.tmp" + gone));
    EXPECT_TRUE(fs::exists(program + "/data/whazzup.txt.tmp" + running));
    EXPECT_TRUE(fs::exists(program + "/data/notes.tmp"));
    EXPECT_TRUE(fs::exists(program + "/data/report.tmp12x"));
}

TEST(ViewerLock, ASquattedSharedNameNeitherBlocksNorEndsTheViewer) {
    const std::string folder = fs::canonical(MakeTempFolder("lock-squat")).string();
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = runtime ? runtime : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    // The name the lock had in the shared /tmp, created and held by someone else.
    char name[64];
    std::snprintf(name, sizeof name, "/tmp/kestrav-%016zx.lock", std::hash<std::string>{}(folder));
    const int squatter = ::open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(squatter, 0);
    ASSERT_EQ(::flock(squatter, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(ViewerLockPath(folder), folder + "/kestrav.lock");
    std::string warning;
    EXPECT_TRUE(ClaimViewerLock(folder, &warning));
    EXPECT_EQ(warning, "");
    EXPECT_TRUE(ViewerRunsIn(folder));
    // A shared folder given as the runtime folder is not used either.
    ::setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    EXPECT_EQ(ViewerLockPath(folder), folder + "/kestrav.lock");
    ::close(squatter);
    ::unlink(name);

    // A lock file that cannot be opened: the viewer starts, with a warning.
    const std::string blocked = fs::canonical(MakeTempFolder("lock-blocked")).string();
    ::unsetenv("XDG_RUNTIME_DIR");
    fs::create_directory(blocked + "/kestrav.lock");
    EXPECT_TRUE(ClaimViewerLock(blocked, &warning));
    EXPECT_NE(warning.find(blocked + "/kestrav.lock"), std::string::npos) << warning;
    if (runtime) ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
