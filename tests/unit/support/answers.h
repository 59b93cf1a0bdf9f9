// Test support: the answers and standard-error lines a test expects, written out in full.
#pragma once

#include <string>

// {"status":"ok"}
inline const std::string kOk = "{\"status\":\"ok\"}\n";

// {"status":"ok","data":N}
inline std::string Data(int n) { return "{\"status\":\"ok\",\"data\":" + std::to_string(n) + "}\n"; }

// {"status":"error","message":"..."}, the message as it stands in the line (already escaped).
inline std::string Error(const std::string& message) {
    return "{\"status\":\"error\",\"message\":\"" + message + "\"}\n";
}

// The lines around a session on standard error.
inline const std::string kBannerLine = "marlet daemon ready. Type 'help' for commands.\n";
inline const std::string kFarewellLine = "marlet daemon shutting down.\n";
