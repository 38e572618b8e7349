// Where a JSON text first goes wrong, for the status line's "Invalid JSON at
// byte N": a plain one-pass check of the grammar (RFC 8259), string escapes
// and UTF-8, with the nesting limited as the feed parser limits it. It runs
// only after the parser refused a text, so it favours clarity over speed.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrava {

// Nesting deeper than this is refused, by the parser and by the check.
constexpr std::size_t kMaxJsonDepth = 1024;

// The offset (0-based) of the first byte at which `text` stops being one
// valid JSON value surrounded by blanks: the offending byte, or the text's
// length when it ends too early. npos when the text is valid.
std::size_t FirstInvalidJsonByte(std::string_view text);

}  // namespace kestrava
