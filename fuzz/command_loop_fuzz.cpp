// Any bytes on standard input: the daemon ends normally, gives each command line exactly its
// answers (two for version, one for everything else) and every answer is one JSON object.
#include "daemon/command_loop.h"
#include "protocol/tokenizer.h"
#include "platform/simulated/desktop.h"
#include "unit/support/json_check.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <sstream>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "marlet_fuzz: %s: %s\n", what, detail.substr(0, 300).c_str());
    std::abort();
}

// How many answer lines the input calls for, reading it the way the loop does.
std::size_t ExpectedAnswers(const std::string& input) {
    std::istringstream in(input);
    std::string line;
    std::size_t answers = 0;
    while (std::getline(in, line)) {
        Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const auto args = SplitArgs(line);
        if (args.empty()) continue;
        const std::string cmd = ToLower(args[0]);
        answers += cmd == "version" ? 2 : 1;
        if (cmd == "quit" || cmd == "exit" || cmd == "shutdown") break;
    }
    return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::Reset();
    sim::AddWindow("Untitled - Notepad");
    sim::AddWindow("C:\\Users\\fuzz \"quoted\"");
    sim::AddWindow("", false);
    // The records are not needed here; keep memory flat across runs.
    sim::State().recording = false;
    // No file is written, whatever path an input names; and waits of days pass in moments.
    sim::State().filesClosed = true;
    sim::State().clockScale = 100000;
    sim::SetScreen(0, 0, 320, 200, 320, 200);  // screenshots of any region stay cheap

    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    if (RunDaemon(in, out, err) != 0) Fail("exit status", input);

    const std::string output = out.str();
    std::size_t lines = 0;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find('\n', start);
        if (end == std::string::npos) Fail("answer without line feed", output.substr(start));
        const std::string_view line(output.data() + start, end - start);
        if (!json_check::IsJsonObject(line)) Fail("answer is not a JSON object", std::string(line));
        ++lines;
        start = end + 1;
    }
    if (lines != ExpectedAnswers(input)) Fail("wrong number of answers", input);
    const std::string errText = err.str();
    if (errText.rfind("marlet daemon ready.", 0) != 0 || errText.size() < 29 ||
        errText.compare(errText.size() - 29, 29, "marlet daemon shutting down.\n") != 0) {
        Fail("banner or farewell missing", errText);
    }
    return 0;
}
