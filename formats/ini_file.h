// An INI file with the semantics of the Windows profile functions: section
// and key names match without regard to case, values are trimmed and cut at
// 255 characters, and an update replaces a key in place, adds missing
// sections and keys, and keeps every other line of the file byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

class IniFile {
public:
    // Reads the file; a missing file gives an empty one. False only when the
    // file exists but cannot be read.
    bool Load(const std::string& path);
    void LoadText(std::string_view text);

    // The value of section/key, or `fallback` when the section or key is
    // missing.
    std::string Get(std::string_view section, std::string_view key,
                    std::string_view fallback) const;
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Replaces the key's line in place, or adds the key at the end of its
    // section, or adds the section at the end of the file. A value that
    // reading would change (in matching quotes, or with blanks at an end) is
    // written inside double quotes, so that Get gives it back. Added lines end
    // as the file's last ended line does (CR LF in a new file).
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;
    // Writes the whole text safely (temporary file renamed over the old one).
    bool Save(const std::string& path) const;

private:
    struct Line {
        std::string Content;  // without its line end
        std::string Ending;   // "\r\n", "\n", "\r" or "" for a last line without one
    };
    std::vector<Line> lines_;

    std::string LineEnding() const;
    // Views into the line: no look-up copies a line.
    static std::optional<std::string_view> SectionName(std::string_view line);
    static bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value);
};

}  // namespace kestrava
