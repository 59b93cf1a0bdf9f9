// The one way an answer line is written: gathered in place, handed to the stream's buffer in one
// piece (or in a few, for a line longer than its room), and flushed, so every answer has reached
// the client before the next command is read. Numbers go in by to_chars: no locale, no stream
// state. Write errors are ignored, as everywhere in the daemon.
#pragma once

#include "protocol/json_text.h"

#include <charconv>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string_view>

class JsonLine {
   public:
    explicit JsonLine(std::ostream& out) : buffer_(out.rdbuf()) {}
    JsonLine(const JsonLine&) = delete;
    JsonLine& operator=(const JsonLine&) = delete;
    // Writes what is gathered and flushes.
    ~JsonLine() {
        Spill();
        if (buffer_ != nullptr) buffer_->pubsync();
    }

    // Bytes as they are: the line's own punctuation and keys, or text that needs no escaping.
    JsonLine& Raw(std::string_view text) {
        if (text.size() > sizeof room_ - size_) {
            Spill();
            if (text.size() > sizeof room_) {
                if (buffer_ != nullptr) buffer_->sputn(text.data(), static_cast<std::streamsize>(text.size()));
                return *this;
            }
        }
        text.copy(room_ + size_, text.size());
        size_ += text.size();
        return *this;
    }

    // Text inside a JSON string, escaped (WriteJsonText); whole characters per call.
    JsonLine& Escaped(std::string_view text) {
        WriteJsonText([this](std::string_view run) { Raw(run); }, text);
        return *this;
    }

    // A JSON string value: quoted and escaped.
    JsonLine& String(std::string_view text) { return Raw("\"").Escaped(text).Raw("\""); }

    // An integer in decimal.
    template <typename Integer>
    JsonLine& Number(Integer value) {
        return Digits(value, 10);
    }

    // A window handle as every answer and message writes it: 0x and lower-case hexadecimal, no
    // padding (not quoted: the caller puts it in a string or a message).
    JsonLine& Handle(std::uint64_t handle) { return Raw("0x").Digits(handle, 16); }

    JsonLine& Bool(bool value) { return Raw(value ? "true" : "false"); }

   private:
    template <typename Value>
    JsonLine& Digits(Value value, int base) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
        return Raw(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }

    void Spill() {
        if (size_ > 0 && buffer_ != nullptr) buffer_->sputn(room_, static_cast<std::streamsize>(size_));
        size_ = 0;
    }

    std::streambuf* buffer_;
    char room_[256];
    std::size_t size_ = 0;
};
