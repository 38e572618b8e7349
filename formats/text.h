// Text and number helpers shared by every program.
//
// Text is 8-bit ANSI (Windows-1252) throughout; numbers are read and written
// with "." whatever the locale, never through the C locale functions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

// The value of the longest leading decimal number (leading blanks skipped,
// optional sign, digits, optional "." fraction, optional exponent); 0 when
// the text does not start with a number. A number too large for a double is
// an infinity of its sign; one too small for it ("1e-400") is 0.
double ReadNumber(std::string_view text);

// ReadNumber's value, with the plain decimals that fill a feed ("-73.7789",
// "35000": a sign, at most 15 digits, a fraction, no exponent) read directly.
double FeedNumber(std::string_view text);

// True when the text, blanks at both ends aside, is one decimal number:
// optional sign, digits with an optional "." fraction, optional exponent.
bool IsWholeNumber(std::string_view text);

// Round to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Nearest 16-bit integer (halves to even), saturated at the type's limits.
std::int16_t ToInt16(double value);

// A single-precision value with up to 7 significant digits, without trailing
// zeros and without a decimal point for whole numbers ("47.5", "-0.25", "19").
std::string FormatSingle(float value);

// FormatSingle's digits never in exponent form, as the data files write
// coordinates: "-1.944677e-07" is "-0.0000001944677", "4e+07" "40000000".
std::string FormatSinglePlain(float value);

// A decimal number with up to 7 significant digits, no trailing zeros.
std::string FormatDecimal(double value);

// Whole number with at least `digits` digits, left-padded with "0".
std::string ZeroPad(long value, int digits);

std::string Trim(std::string_view text);          // blanks at both ends
std::string_view TrimView(std::string_view text); // the same, as a view into the text
std::string ToUpper(std::string_view text);       // ASCII letters only
std::string ToLower(std::string_view text);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Split at every occurrence of the separator; "a::b" gives "a", "", "b".
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Split a whole file into lines the way the network files are read: at
// "\r\n"; when that gives fewer than 5 elements at "\r"; when still fewer at
// "\n". The last element is whatever follows the final separator.
std::vector<std::string> SplitNetworkLines(std::string_view text);

// Hands each line of a text to `onLine` in order (CR LF, LF or CR ends a
// line; a last line without an end counts when it is not empty).
void ForEachLine(std::string_view text, const std::function<void(std::string_view line)>& onLine);
// The same lines collected.
std::vector<std::string> TextLines(std::string_view text);

// Read a text file line by line (TextLines). False when the file cannot be
// opened.
bool ReadLines(const std::string& path, std::vector<std::string>& lines);

// Whole file into memory; false when it cannot be read or is no regular
// file (a folder, a FIFO, a device).
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Windows-1252 bytes to UTF-8 and back (unmappable characters become "?").
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);
// UTF-16 bytes (without their byte-order mark) to UTF-8 and back; a lone
// half of a surrogate pair becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view text, bool bigEndian);

}  // namespace kestrava
