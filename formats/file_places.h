// Where the programs find their files. A program folder that this user may
// write (the build tree, a portable copy) holds everything, as it always
// has. An installed program folder holds only what ships with the program:
// each user's own files then live in a per-user folder,
// $XDG_DATA_HOME/kestrava (~/.local/share/kestrava), which is read first,
// file by file, and which takes every write. A program folder is an
// installed one when this user may not write it, or when the installation
// marked it so (root may write /usr/lib/kestrava, a user a prefix of their
// own: neither should collect users' files there).
#pragma once

#include <string>
#include <string_view>

namespace kestrava {

// The file that `cmake --install` leaves in the program folder; deleting it
// turns a writable installation into a portable copy.
inline constexpr const char* kInstalledMarker = "kestrava-installed.txt";

struct FilePlaces {
    std::string ProgramFolder;
    // The per-user folder; empty while the program folder is writable.
    std::string UserFolder;
    // Why nothing can be saved (the per-user folder could not be made or
    // written), naming the folder; empty when saving works.
    std::string Problem;

    bool Installed() const { return !UserFolder.empty(); }
    bool CanSave() const { return Problem.empty(); }
    // The folder that takes the user's files: the per-user folder of an
    // installed program, else the program folder.
    const std::string& OwnFolder() const { return Installed() ? UserFolder : ProgramFolder; }

    // The file to read: the user's copy where there is one, else the one
    // shipped in the program folder.
    std::string ReadPath(std::string_view relative) const;
    // Where the file is written ("" when nothing may be saved); its folder
    // is made when missing.
    std::string WritePath(std::string_view relative) const;
    // The folder the single-instance lock is keyed on: one viewer per
    // program folder, or per user of an installed program.
    std::string LockFolder() const;
};

// A folder this user may create files in. A folder without any write
// permission bit counts as read-only even for root, who could write it
// anyway, so that an installation made read-only behaves alike for all.
bool FolderWritable(const std::string& folder);

// The places for a program folder, given the values of XDG_DATA_HOME and
// HOME (null when unset). The per-user folder, with its data/ and colours/,
// is made when the program folder is not writable or is marked installed.
FilePlaces FindFilePlaces(const std::string& programFolder, const char* xdgDataHome, const char* home);

// The running program's places, worked out on first use from its own
// folder and its environment.
const FilePlaces& Places();

// Places().ReadPath and Places().WritePath.
std::string ReadPath(std::string_view relative);
std::string WritePath(std::string_view relative);

// Removes what interrupted saves left in the folders that take the user's
// files (RemoveStaleTempFiles); gives the number removed.
int RemoveInterruptedSaves(const FilePlaces& places);

// Where downloads go: the writable data/ folder, or, when nothing may be
// saved, a private temporary folder removed when the program ends.
std::string DownloadFolder();

}  // namespace kestrava
