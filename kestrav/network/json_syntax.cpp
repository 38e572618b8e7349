#include "kestrav/network/json_syntax.h"

#include <vector>

namespace kestrava {

namespace {

class Checker {
public:
    explicit Checker(std::string_view text) : t_(text) {}

    // npos when the whole text is one value with blanks around it.
    std::size_t Run() {
        Blanks();
        if (!Value()) return at_;
        Blanks();
        return at_ == t_.size() ? std::string_view::npos : at_;
    }

private:
    bool End() const { return at_ >= t_.size(); }
    unsigned char Peek() const { return static_cast<unsigned char>(t_[at_]); }
    void Blanks() {
        while (!End() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++at_;
    }
    bool Literal(std::string_view word) {
        for (char c : word) {
            if (End() || t_[at_] != c) return false;
            ++at_;
        }
        return true;
    }
    bool Digits() {
        if (End() || Peek() < '0' || Peek() > '9') return false;
        while (!End() && Peek() >= '0' && Peek() <= '9') ++at_;
        return true;
    }
    bool Number() {
        if (!End() && Peek() == '-') ++at_;
        if (!End() && Peek() == '0') ++at_;
        else if (!Digits()) return false;
        if (!End() && Peek() == '.') {
            ++at_;
            if (!Digits()) return false;
        }
        if (!End() && (Peek() == 'e' || Peek() == 'E')) {
            ++at_;
            if (!End() && (Peek() == '+' || Peek() == '-')) ++at_;
            if (!Digits()) return false;
        }
        return true;
    }
    // One UTF-8 character of two to four bytes (no overlong forms, no
    // surrogates, nothing beyond U+10FFFF).
    bool Utf8() {
        const unsigned char lead = Peek();
        int more;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) more = 1;
        else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        ++at_;
        for (int k = 0; k < more; ++k) {
            if (End() || Peek() < low || Peek() > high) return false;
            low = 0x80, high = 0xBF;
            ++at_;
        }
        return true;
    }
    bool String() {
        ++at_;  // the opening quote
        while (!End()) {
            const unsigned char c = Peek();
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20) return false;
            if (c == '\\') {
                ++at_;
                if (End()) return false;
                const char e = t_[at_];
                if (e == 'u') {
                    ++at_;
                    for (int k = 0; k < 4; ++k, ++at_) {
                        if (End()) return false;
                        const char h = t_[at_];
                        if (!((h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F'))) return false;
                    }
                } else if (e == '"' || e == '\\' || e == '/' || e == 'b' || e == 'f' || e == 'n' || e == 'r' || e == 't') {
                    ++at_;
                } else {
                    return false;
                }
            } else if (c < 0x80) {
                ++at_;
            } else if (!Utf8()) {
                return false;
            }
        }
        return false;
    }
    // A value at any depth, with the open containers kept on a stack of
    // their own, so that deep nesting never deepens the call stack.
    bool Value() {
        std::vector<char> open;  // '{' or '['
        while (true) {
            Blanks();
            if (End()) return false;
            const unsigned char c = Peek();
            bool container = false;
            if (c == '{' || c == '[') {
                if (open.size() >= kMaxJsonDepth) return false;
                open.push_back(static_cast<char>(c));
                ++at_;
                Blanks();
                if (!End() && Peek() == (c == '{' ? '}' : ']')) {
                    ++at_;
                    open.pop_back();
                } else {
                    if (c == '{' && !Key()) return false;
                    container = true;
                }
            } else if (c == '"') {
                if (!String()) return false;
            } else if (c == 't') {
                if (!Literal("true")) return false;
            } else if (c == 'f') {
                if (!Literal("false")) return false;
            } else if (c == 'n') {
                if (!Literal("null")) return false;
            } else if (c == '-' || (c >= '0' && c <= '9')) {
                if (!Number()) return false;
            } else {
                return false;
            }
            if (container) continue;  // its first member's value comes next
            // After a value: a separator, or the ends of containers.
            while (true) {
                if (open.empty()) return true;
                Blanks();
                if (End()) return false;
                const char closing = open.back() == '{' ? '}' : ']';
                if (Peek() == ',') {
                    ++at_;
                    if (open.back() == '{' && !Key()) return false;
                    break;
                }
                if (Peek() != static_cast<unsigned char>(closing)) return false;
                ++at_;
                open.pop_back();
            }
        }
    }
    // An object member's key and colon.
    bool Key() {
        Blanks();
        if (End() || Peek() != '"' || !String()) return false;
        Blanks();
        if (End() || Peek() != ':') return false;
        ++at_;
        return true;
    }

    std::string_view t_;
    std::size_t at_ = 0;
};

}  // namespace

std::size_t FirstInvalidJsonByte(std::string_view text) { return Checker(text).Run(); }

}  // namespace kestrava
