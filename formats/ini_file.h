// An INI file with the semantics of the Windows profile functions: section
// and key names match without regard to case, values are trimmed (and read
// whole, however long), and an update replaces a key in place, adds missing
// sections and keys, and keeps every other line of the file byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

// The form a file came in. Its text is Windows-1252 inside the program and
// goes back to the file in the same form; lines that no update touched keep
// their exact text, even characters that Windows-1252 lacks.
enum class TextForm { Ansi, Utf8Bom, Utf16Le, Utf16Be };

class IniFile {
public:
    // Reads the file; a missing file gives an empty one. False when the file
    // exists but cannot be read as text: it cannot be opened or read, it is
    // no regular file (a folder in its place), or it holds NUL characters.
    // A byte-order mark (UTF-8, UTF-16 little or big endian) sets the form.
    bool Load(const std::string& path);
    // Text without a byte-order mark, as it is read from an ANSI file.
    void LoadText(std::string_view text);
    // The bytes of a whole file, byte-order mark and all; false when they
    // are not text.
    bool LoadBytes(std::string_view bytes);
    TextForm Form() const { return form_; }

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

    // The text in Windows-1252.
    std::string Text() const;
    // The bytes Save writes: the text in the form the file came in.
    std::string Bytes() const;
    // Writes the whole file safely (temporary file renamed over the old
    // one); on failure `reason` (when given) says why.
    bool Save(const std::string& path, std::string* reason = nullptr) const;

private:
    struct Line {
        std::string Content;  // without its line end
        std::string Ending;   // "\r\n", "\n", "\r" or "" for a last line without one
        // The line's UTF-8 text as a UTF file held it; empty in an ANSI file
        // and once an update has replaced the line.
        std::string Original;
    };
    std::vector<Line> lines_;
    TextForm form_ = TextForm::Ansi;

    void SplitLines(std::string_view text);
    std::string LineEnding() const;
    // Views into the line: no look-up copies a line.
    static std::optional<std::string_view> SectionName(std::string_view line);
    static bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value);
};

}  // namespace kestrava
