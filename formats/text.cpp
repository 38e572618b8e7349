#include "text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

namespace kestrava {

namespace {

// For a decimal number that does not fit a double: true when it is too
// large, false when it is too small. Decided by the power of ten of its
// first significant digit, so no exponent, however long, is converted.
bool IsOverflow(std::string_view number) {
    size_t i = (!number.empty() && number[0] == '-') ? 1 : 0;
    size_t digits = i;
    while (digits < number.size() && number[digits] >= '0' && number[digits] <= '9') ++digits;
    long long position = static_cast<long long>(digits - i) - 1;  // power of ten of the digit at i
    bool found = false;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        if (number[i] == '.') continue;
        if (number[i] != '0') {
            found = true;
            break;
        }
        --position;
    }
    if (!found) return false;  // all zeros: never out of range, but read as 0
    long long exponent = 0;
    bool negative = false;
    size_t e = number.find_first_of("eE");
    if (e != std::string_view::npos) {
        size_t j = e + 1;
        if (j < number.size() && (number[j] == '+' || number[j] == '-')) negative = number[j++] == '-';
        for (; j < number.size(); ++j) {
            if (exponent < 1000000000LL) exponent = exponent * 10 + (number[j] - '0');
        }
    }
    return position + (negative ? -exponent : exponent) >= 0;
}

}  // namespace

double ReadNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    size_t intDigits = i - digitsStart;
    size_t fracDigits = 0;
    if (i < text.size() && text[i] == '.') {
        size_t j = i + 1;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        fracDigits = j - i - 1;
        if (intDigits + fracDigits > 0) i = j;
    }
    if (intDigits + fracDigits == 0) return 0.0;
    size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        size_t expStart = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j > expStart) end = j;
    }
    std::string_view number = text.substr(start, end - start);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for a double ("1e-400") is 0; only a number too large
        // for one is infinite.
        if (!IsOverflow(number)) return 0.0;
        return (number[0] == '-') ? -std::numeric_limits<double>::infinity()
                                  : std::numeric_limits<double>::infinity();
    }
    return value;
}

// The plain decimals that fill a feed ("-73.7789", "35000": a sign, at most
// 15 digits, a fraction, no exponent) are read here directly; the quotient
// of two exactly represented doubles is correctly rounded, so the result is
// ReadNumber's. Everything else goes to ReadNumber.
double FeedNumber(std::string_view text) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const size_t n = text.size();
    size_t i = 0;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) mantissa = mantissa * 10 + (text[i] - '0');
    if (i < n && text[i] == '.')
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++fraction)
            mantissa = mantissa * 10 + (text[i] - '0');
    if (digits == 0 || digits > 15 || (i < n && (text[i] == 'e' || text[i] == 'E'))) return ReadNumber(text);
    double value = static_cast<double>(mantissa) / kTens[fraction];
    return negative ? -value : value;
}


// True when the text, blanks at both ends aside, is one decimal number:
// optional sign, digits with an optional "." fraction, optional exponent.
bool IsWholeNumber(std::string_view text) {
    std::string t = Trim(text);
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t exponent = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == t.size();
}


double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double floorValue = std::floor(value);
    double diff = value - floorValue;
    if (diff > 0.5) return floorValue + 1.0;
    if (diff < 0.5) return floorValue;
    return (std::fmod(floorValue, 2.0) == 0.0) ? floorValue : floorValue + 1.0;
}

std::int16_t ToInt16(double value) {
    if (std::isnan(value)) return 0;
    double r = RoundHalfEven(value);
    if (r > 32767.0) return 32767;
    if (r < -32768.0) return -32768;
    return static_cast<std::int16_t>(r);
}

namespace {
std::string TrimNumber(std::string s) {
    auto e = s.find_first_of("eE");
    std::string exponent;
    if (e != std::string::npos) {
        exponent = s.substr(e);
        s.resize(e);
    }
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s + exponent;
}

std::string FormatSignificant(double value, int digits) {
    if (!std::isfinite(value)) return "0";
    if (value == 0.0) return "0";
    char buffer[64];
    std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return TrimNumber(std::string(buffer, r.ptr));
}
}  // namespace

std::string FormatSingle(float value) { return FormatSignificant(static_cast<double>(value), 7); }

std::string FormatSinglePlain(float value) {
    std::string text = FormatSingle(value);
    const size_t e = text.find_first_of("eE");
    if (e == std::string::npos) return text;
    const int exponent = std::atoi(text.c_str() + e + 1);
    std::string sign, digits;
    for (size_t i = 0; i < e; ++i) {
        if (text[i] == '-') sign = "-";
        else if (text[i] != '.') digits += text[i];
    }
    // The point stands after the first digit, moved by the exponent.
    const int point = 1 + exponent;
    if (point <= 0) return sign + "0." + std::string(static_cast<size_t>(-point), '0') + digits;
    if (static_cast<size_t>(point) >= digits.size())
        return sign + digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
    return sign + digits.substr(0, static_cast<size_t>(point)) + "." + digits.substr(static_cast<size_t>(point));
}

std::string FormatDecimal(double value) { return FormatSignificant(value, 7); }

std::string ZeroPad(long value, int digits) {
    // The magnitude in unsigned arithmetic: the most negative long has none
    // of its own.
    const unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                              : static_cast<unsigned long>(value);
    std::string s = std::to_string(magnitude);
    while (static_cast<int>(s.size()) < digits) s.insert(s.begin(), '0');
    return value < 0 ? "-" + s : s;
}

std::string_view TrimView(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return text.substr(b, e - b);
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string ToUpper(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string ToLower(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + separator.size();
    }
}

std::vector<std::string> SplitNetworkLines(std::string_view text) {
    std::vector<std::string> lines = Split(text, "\r\n");
    if (lines.size() < 5) lines = Split(text, "\r");
    if (lines.size() < 5) lines = Split(text, "\n");
    return lines;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    // Only a regular file: a folder opens, but tells a size of its own.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0);
    if (size > 0) in.read(bytes.data(), size);
    return static_cast<bool>(in) || in.eof();
}

void ForEachLine(std::string_view text, const std::function<void(std::string_view line)>& onLine) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        onLine(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) onLine(text.substr(start));
}

std::vector<std::string> TextLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    lines = TextLines(bytes);
    return true;
}

namespace {
// Code points of 0x80..0x9F in Windows-1252; 0 where the code is unassigned.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The code point of the UTF-8 sequence at text[i] and its length in bytes;
// a byte that starts no complete sequence is '?' of length 1.
unsigned DecodeUtf8(std::string_view text, size_t i, size_t& len) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    auto follow = [&](size_t k) { return static_cast<unsigned>(text[i + k] & 0x3F); };
    if (c < 0x80) return len = 1, c;
    if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) return len = 2, ((c & 0x1Fu) << 6) | follow(1);
    if ((c & 0xF0) == 0xE0 && i + 2 < text.size())
        return len = 3, ((c & 0x0Fu) << 12) | (follow(1) << 6) | follow(2);
    if ((c & 0xF8) == 0xF0 && i + 3 < text.size())
        return len = 4, ((c & 0x07u) << 18) | (follow(1) << 12) | (follow(2) << 6) | follow(3);
    return len = 1, '?';
}
}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        unsigned cp = c;
        if (c >= 0x80 && c < 0xA0) cp = kHigh[c - 0x80] ? kHigh[c - 0x80] : c;
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t len = 1;
        const unsigned cp = DecodeUtf8(text, i, len);
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) { out.push_back(static_cast<char>(cp)); continue; }
        char mapped = '?';
        for (size_t k = 0; k < kHigh.size(); ++k)
            if (kHigh[k] && kHigh[k] == cp) mapped = static_cast<char>(0x80 + k);
        out.push_back(mapped);
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t i) {
        const unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned cp = unit(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size()) {
            const unsigned low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (cp >= 0xD800 && cp < 0xE000) cp = 0xFFFD;  // a lone half of a pair
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    auto put = [&](unsigned u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    };
    for (size_t i = 0; i < text.size();) {
        size_t len = 1;
        const unsigned cp = DecodeUtf8(text, i, len);
        i += len;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

}  // namespace kestrava
