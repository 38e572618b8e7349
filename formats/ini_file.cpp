#include "ini_file.h"

#include "files.h"
#include "text.h"

namespace kestrava {

namespace {
constexpr size_t kMaxValue = 255;
}

bool IniFile::Load(const std::string& path) {
    lines_.clear();
    if (!FileExists(path)) return true;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    LoadText(bytes);
    return true;
}

void IniFile::LoadText(std::string_view text) {
    lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        Line line{std::string(text.substr(start, end - start)), {}};
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
            if (v.size() > kMaxValue) v = v.substr(0, kMaxValue);
            return std::string(v);
        }
    }
    return std::nullopt;
}

std::string IniFile::Get(std::string_view section, std::string_view key,
                         std::string_view fallback) const {
    if (auto v = Find(section, key)) return *v;
    std::string f(fallback);
    if (f.size() > kMaxValue) f.resize(kMaxValue);
    return f;
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
        lines_.push_back({"[" + std::string(section) + "]", ending});
        lines_.push_back({newLine, ending});
        return;
    }
    size_t at = static_cast<size_t>(lastContent);
    ensureEnding(at);
    lines_.insert(lines_.begin() + static_cast<long>(at) + 1, Line{newLine, ending});
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

bool IniFile::Save(const std::string& path) const { return WriteFileAtomic(path, Text()); }

}  // namespace kestrava
