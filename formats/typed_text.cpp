#include "typed_text.h"

#include "text.h"

namespace kestrava {

TypedTextFault CheckTypedText(std::string_view utf8, std::string& cp1252) {
    if (utf8.find_first_of("\r\n") != std::string_view::npos) return TypedTextFault::LineBreak;
    std::string bytes = Utf8ToCp1252(utf8);
    if (Cp1252ToUtf8(bytes) != utf8) return TypedTextFault::NotWindows1252;
    cp1252 = std::move(bytes);
    return TypedTextFault::None;
}

std::string TypedTextMessage(std::string_view field, TypedTextFault fault) {
    const std::string name(field);
    switch (fault) {
        case TypedTextFault::NotWindows1252:
            return name + " holds a character that the file cannot hold (it is written in Windows-1252). "
                          "Nothing was saved.";
        case TypedTextFault::LineBreak:
            return name + " holds a line break, which the file cannot hold. Nothing was saved.";
        case TypedTextFault::None:
            break;
    }
    return {};
}

}  // namespace kestrava
