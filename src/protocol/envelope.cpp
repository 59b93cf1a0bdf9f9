#include "protocol/envelope.h"

namespace {

void WriteEnvelope(std::ostream& out, std::string_view status, std::initializer_list<std::string_view> message,
                   std::uint32_t data) {
    JsonLine line(out);
    line.Raw("{\"status\":\"").Raw(status).Raw("\"");
    bool any = false;
    for (const std::string_view piece : message) any = any || !piece.empty();
    if (any) {
        line.Raw(",\"message\":\"");
        for (const std::string_view piece : message) line.Escaped(piece);
        line.Raw("\"");
    }
    if (data > 0) line.Raw(",\"data\":").Number(data);
    line.Raw("}\n");
}

}  // namespace

void WriteResponse(std::ostream& out, std::string_view status, std::string_view message, std::uint32_t data) {
    WriteEnvelope(out, status, {message}, data);
}

void RespondOk(std::ostream& out, std::uint32_t data) {
    // The answer of nearly every input command, written in as few pieces as it has.
    if (data == 0) {
        JsonLine(out).Raw("{\"status\":\"ok\"}\n");
    } else {
        JsonLine(out).Raw("{\"status\":\"ok\",\"data\":").Number(data).Raw("}\n");
    }
}

void RespondError(std::ostream& out, std::string_view message) { WriteResponse(out, "error", message, 0); }

void RespondError(std::ostream& out, std::initializer_list<std::string_view> message) {
    WriteEnvelope(out, "error", message, 0);
}

void RespondAction(std::ostream& out, const ActionResult& result) {
    if (result.success) {
        RespondOk(out, result.count);
    } else {
        RespondError(out, result.message);
    }
}

void RespondRect(std::ostream& out, const Rect& rect) {
    JsonLine(out)
        .Raw("{\"status\":\"ok\",\"left\":")
        .Number(rect.left)
        .Raw(",\"top\":")
        .Number(rect.top)
        .Raw(",\"right\":")
        .Number(rect.right)
        .Raw(",\"bottom\":")
        .Number(rect.bottom)
        .Raw("}\n");
}
