// The envelope lines every command answers with: ok (with a count when it has one), error with
// its message, and an action's outcome as either.
#pragma once

#include "base/action_result.h"
#include "base/geometry.h"
#include "protocol/json_line.h"

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string_view>

// Writes one envelope line (status, message if not empty, data if above 0) and flushes.
void WriteResponse(std::ostream& out, std::string_view status, std::string_view message, std::uint32_t data);

// An ok envelope line, with data when it is above 0.
void RespondOk(std::ostream& out, std::uint32_t data = 0);

// An error envelope line carrying the message.
void RespondError(std::ostream& out, std::string_view message);
// The same with the message given in pieces, written one after another: a message that quotes
// the client's input is not first joined into a copy of it. Each piece ends where a character
// ends (fixed texts and whole client words do).
void RespondError(std::ostream& out, std::initializer_list<std::string_view> message);

// Answers an action's outcome: its count on success, its message on failure.
void RespondAction(std::ostream& out, const ActionResult& result);

// A rectangle's answer (screen, rect, client):
// {"status":"ok","left":L,"top":T,"right":R,"bottom":B}.
void RespondRect(std::ostream& out, const Rect& rect);

// An error envelope whose message is put together in place, from text, numbers and handles:
// {"status":"error","message":"...."}. The message must not be empty.
class ErrorLine {
   public:
    explicit ErrorLine(std::ostream& out) : line_(out) { line_.Raw("{\"status\":\"error\",\"message\":\""); }
    ~ErrorLine() { line_.Raw("\"}\n"); }
    ErrorLine(const ErrorLine&) = delete;
    ErrorLine& operator=(const ErrorLine&) = delete;

    ErrorLine& Text(std::string_view text) {
        line_.Escaped(text);
        return *this;
    }
    template <typename Integer>
    ErrorLine& Number(Integer value) {
        line_.Number(value);
        return *this;
    }
    ErrorLine& Handle(std::uint64_t handle) {
        line_.Handle(handle);
        return *this;
    }
    // "Timed out after MS ms waiting for ", which every wait that gives up says first.
    ErrorLine& TimedOut(std::uint32_t ms) { return Text("Timed out after ").Number(ms).Text(" ms waiting for "); }

   private:
    JsonLine line_;
};
