// Test support: a reset simulated desktop per test, and whole daemon runs over in-memory streams.
#pragma once

#include "daemon/command_loop.h"
#include "platform/simulated/desktop.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// What one run of the daemon wrote, and how it ended.
struct Transcript {
    std::string out;
    std::string err;
    int status;
    std::string unread;  // input the daemon left unread
};

// Runs the daemon (start-up included) on `input` as its standard input.
inline Transcript RunSession(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunDaemon(in, out, err);
    std::string unread;
    if (in) unread.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return Transcript{out.str(), err.str(), status, unread};
}

// The standard output of one command line run on its own, banner and farewell aside.
inline std::string Answer(const std::string& line) { return RunSession(line + "\n").out; }

// Every test starts from a reset desktop.
class DesktopTest : public ::testing::Test {
   protected:
    void SetUp() override { sim::Reset(); }
};
