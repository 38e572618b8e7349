// Text that a user typed into an editor's box, on its way into an INI file:
// it must fit the file as it is, Windows-1252 on one line (a value may be as
// long as it likes), or it is refused, never altered.
#pragma once

#include <string>
#include <string_view>

namespace kestrava {

enum class TypedTextFault { None, NotWindows1252, LineBreak };

// Converts the UTF-8 text of a box; `cp1252` receives the bytes when the
// text fits a value.
TypedTextFault CheckTypedText(std::string_view utf8, std::string& cp1252);

// The refusal for a box, named by its caption ("Proxy").
std::string TypedTextMessage(std::string_view field, TypedTextFault fault);

}  // namespace kestrava
