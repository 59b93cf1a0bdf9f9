// Test support: a strict JSON checker (RFC 8259, UTF-8), for "every answer is valid JSON".
#pragma once

#include "daemon/utf8.h"

#include <cstddef>
#include <string_view>

namespace json_check {

class Parser {
   public:
    explicit Parser(std::string_view text) : text_(text) {}

    // Whether the whole text is one JSON object (surrounding whitespace allowed).
    bool IsObject() {
        SkipSpace();
        if (Peek() != '{' || !Value()) return false;
        SkipSpace();
        return pos_ == text_.size();
    }

   private:
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++pos_;
    }
    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }
    bool Value() {
        if (++depth_ > 64) return false;
        SkipSpace();
        bool ok = false;
        switch (Peek()) {
            case '{': ok = Object(); break;
            case '[': ok = Array(); break;
            case '"': ok = String(); break;
            case 't': ok = Literal("true"); break;
            case 'f': ok = Literal("false"); break;
            case 'n': ok = Literal("null"); break;
            default: ok = Number();
        }
        --depth_;
        return ok;
    }
    bool Object() {
        ++pos_;
        SkipSpace();
        if (Peek() == '}') return ++pos_, true;
        while (true) {
            SkipSpace();
            if (!String()) return false;
            SkipSpace();
            if (Peek() != ':') return false;
            ++pos_;
            if (!Value()) return false;
            SkipSpace();
            if (Peek() == '}') return ++pos_, true;
            if (Peek() != ',') return false;
            ++pos_;
        }
    }
    bool Array() {
        ++pos_;
        SkipSpace();
        if (Peek() == ']') return ++pos_, true;
        while (true) {
            if (!Value()) return false;
            SkipSpace();
            if (Peek() == ']') return ++pos_, true;
            if (Peek() != ',') return false;
            ++pos_;
        }
    }
    static bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
    bool String() {
        if (Peek() != '"') return false;
        ++pos_;
        while (!AtEnd()) {
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') return ++pos_, true;
            if (c < 0x20) return false;
            if (c == '\\') {
                ++pos_;
                const char e = Peek();
                if (e == 'u') {
                    for (int k = 1; k <= 4; ++k) {
                        if (pos_ + static_cast<std::size_t>(k) >= text_.size() || !IsHex(text_[pos_ + k])) return false;
                    }
                    pos_ += 5;
                } else if (e == '"' || e == '\\' || e == '/' || e == 'b' || e == 'f' || e == 'n' || e == 'r' ||
                           e == 't') {
                    ++pos_;
                } else {
                    return false;
                }
                continue;
            }
            char32_t codePoint = 0;
            const std::size_t length = DecodeUtf8(text_, pos_, codePoint);
            if (length == 0) return false;
            pos_ += length;
        }
        return false;
    }
    bool Digits() {
        const std::size_t start = pos_;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++pos_;
        return pos_ > start;
    }
    bool Number() {
        if (Peek() == '-') ++pos_;
        if (Peek() == '0') {
            ++pos_;
        } else if (!Digits()) {
            return false;
        }
        if (Peek() == '.') {
            ++pos_;
            if (!Digits()) return false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '+' || Peek() == '-') ++pos_;
            if (!Digits()) return false;
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

// Whether `line` is exactly one JSON object.
inline bool IsJsonObject(std::string_view line) { return Parser(line).IsObject(); }

}  // namespace json_check
