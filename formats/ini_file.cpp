#include "ini_file.h"

#include "files.h"
#include "text.h"

#include <cerrno>
#include <sys/stat.h>

namespace kestrava {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsUtf16(TextForm form) { return form == TextForm::Utf16Le || form == TextForm::Utf16Be; }

}  // namespace

bool IniFile::Load(const std::string& path) {
    lines_.clear();
    form_ = TextForm::Ansi;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno == ENOENT;
    std::string bytes;
    if (!S_ISREG(info.st_mode) || !ReadWholeFile(path, bytes)) return false;
    return LoadBytes(bytes);
}

bool IniFile::LoadBytes(std::string_view bytes) {
    std::string utf8;
    if (bytes.substr(0, 3) == kUtf8Mark) {
        form_ = TextForm::Utf8Bom;
        utf8 = bytes.substr(3);
    } else if (bytes.substr(0, 2) == kUtf16LeMark || bytes.substr(0, 2) == kUtf16BeMark) {
        form_ = bytes[0] == kUtf16LeMark[0] ? TextForm::Utf16Le : TextForm::Utf16Be;
        utf8 = Utf16ToUtf8(bytes.substr(2), form_ == TextForm::Utf16Be);
    } else {
        form_ = TextForm::Ansi;
        utf8 = bytes;
    }
    if (utf8.find('\0') != std::string::npos) {
        lines_.clear();
        form_ = TextForm::Ansi;
        return false;
    }
    SplitLines(utf8);
    if (form_ != TextForm::Ansi) {
        for (Line& line : lines_) {
            line.Original = std::move(line.Content);
            line.Content = Utf8ToCp1252(line.Original);
        }
    }
    return true;
}

void IniFile::LoadText(std::string_view text) {
    form_ = TextForm::Ansi;
    SplitLines(text);
}

void IniFile::SplitLines(std::string_view text) {
    lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        Line line{std::string(text.substr(start, end - start)), {}, {}};
        if (end < text.size()) {
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
                line.Ending = "\r\n";
                end += 2;
            } else {
                line.Ending = std::string(1, text[end]);
                end += 1;
            }
        }
        lines_.push_back(std::move(line));
        start = end;
    }
}

std::optional<std::string_view> IniFile::SectionName(std::string_view line) {
    std::string_view t = TrimView(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimView(t.substr(1, close - 1));
}

bool IniFile::KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = TrimView(line);
    if (t.empty() || t[0] == ';' || t[0] == '[') return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = TrimView(line.substr(0, eq));
    value = TrimView(line.substr(eq + 1));
    return !key.empty();
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const Line& line : lines_) {
        if (auto name = SectionName(line.Content)) {
            inSection = EqualsNoCase(*name, section);
            continue;
        }
        if (!inSection) continue;
        std::string_view k, v;
        if (KeyOf(line.Content, k, v) && EqualsNoCase(k, key)) {
            // A value in matching quotes loses them, as the profile functions do.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return std::string(v);
        }
    }
    return std::nullopt;
}

std::string IniFile::Get(std::string_view section, std::string_view key,
                         std::string_view fallback) const {
    if (auto v = Find(section, key)) return *v;
    return std::string(fallback);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    // Find gives back what was set: a value that reading would change (one
    // in matching quotes, which reading strips, or with blanks at an end,
    // which reading trims) goes inside double quotes.
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    const bool padded = TrimView(value).size() != value.size();
    std::string newLine = std::string(key) + "=" +
                          (quoted || padded ? "\"" + std::string(value) + "\"" : std::string(value));
    bool inSection = false;
    long sectionStart = -1;
    long lastContent = -1;  // last non-blank line of the matching section
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& content = lines_[i].Content;
        if (auto name = SectionName(content)) {
            if (inSection) break;
            inSection = EqualsNoCase(*name, section);
            if (inSection) sectionStart = lastContent = static_cast<long>(i);
            continue;
        }
        if (!inSection) continue;
        std::string_view k, v;
        if (KeyOf(content, k, v) && EqualsNoCase(k, key)) {
            lines_[i].Content = newLine;
            lines_[i].Original.clear();
            return;
        }
        if (!TrimView(content).empty()) lastContent = static_cast<long>(i);
    }
    const std::string ending = LineEnding();
    auto ensureEnding = [this, &ending](size_t index) {
        if (lines_[index].Ending.empty()) lines_[index].Ending = ending;
    };
    if (sectionStart < 0) {
        if (!lines_.empty()) ensureEnding(lines_.size() - 1);
        lines_.push_back({"[" + std::string(section) + "]", ending, {}});
        lines_.push_back({newLine, ending, {}});
        return;
    }
    size_t at = static_cast<size_t>(lastContent);
    ensureEnding(at);
    lines_.insert(lines_.begin() + static_cast<long>(at) + 1, Line{newLine, ending, {}});
}

std::string IniFile::LineEnding() const {
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line)
        if (!line->Ending.empty()) return line->Ending;
    return "\r\n";
}

std::string IniFile::Text() const {
    std::string text;
    for (const Line& line : lines_) text += line.Content + line.Ending;
    return text;
}

std::string IniFile::Bytes() const {
    if (form_ == TextForm::Ansi) return Text();
    std::string utf8;
    for (const Line& line : lines_)
        utf8 += (line.Original.empty() ? Cp1252ToUtf8(line.Content) : line.Original) + line.Ending;
    if (!IsUtf16(form_)) return std::string(kUtf8Mark) + utf8;
    const bool big = form_ == TextForm::Utf16Be;
    return std::string(big ? kUtf16BeMark : kUtf16LeMark) + Utf8ToUtf16(utf8, big);
}

bool IniFile::Save(const std::string& path, std::string* reason) const {
    return WriteFileAtomic(path, Bytes(), reason);
}

}  // namespace kestrava
