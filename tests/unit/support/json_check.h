// Test support: a strict JSON checker (RFC 8259, UTF-8), for "every answer is valid JSON".
// It shares no code with the daemon: its UTF-8 check is written from the definition (RFC 3629,
// Unicode table 3-7) on its own, so a fault in the daemon's decoder cannot hide here.
#pragma once

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
    // The length of the well-formed UTF-8 sequence at `at`, or 0. Table 3-7 of the Unicode
    // standard, row by row: lead byte range, then the allowed range of the second byte.
    std::size_t WellFormedLength(std::size_t at) const {
        struct Row {
            unsigned char leadFirst, leadLast, secondFirst, secondLast;
            std::size_t length;
        };
        static constexpr Row kRows[] = {
            {0x00, 0x7F, 0x00, 0x00, 1}, {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
            {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
            {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
        };
        const auto b = [this](std::size_t k) { return static_cast<unsigned char>(text_[k]); };
        for (const Row& row : kRows) {
            if (b(at) < row.leadFirst || b(at) > row.leadLast) continue;
            if (row.length == 1) return 1;
            if (at + row.length > text_.size()) return 0;
            if (b(at + 1) < row.secondFirst || b(at + 1) > row.secondLast) return 0;
            for (std::size_t k = 2; k < row.length; ++k) {
                if (b(at + k) < 0x80 || b(at + k) > 0xBF) return 0;
            }
            return row.length;
        }
        return 0;
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
            const std::size_t length = WellFormedLength(pos_);
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
