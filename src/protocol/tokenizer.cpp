#include "protocol/tokenizer.h"

std::vector<std::string> SplitArgs(std::string_view line) {
    std::vector<std::string> result;
    SplitArgsInto(line, result);
    return result;
}

void SplitArgsInto(std::string_view line, std::vector<std::string>& result) {
    // Arguments are written into the strings already in `result`, so that a caller that splits
    // line after line into the same list reuses their storage. Runs of ordinary bytes are
    // appended whole.
    std::size_t count = 0;
    bool inQuotes = false;
    bool collecting = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '"' && (i == 0 || line[i - 1] != '\\')) {
            inQuotes = !inQuotes;
            ++i;
            continue;
        }
        if (c == ' ' && !inQuotes) {
            if (collecting) {
                ++count;
                collecting = false;
            }
            ++i;
            continue;
        }
        // An ordinary byte, and the run of them that follows: up to the next quote, or the next
        // space outside quotes. (A quote after a backslash is ordinary, but ends the run here
        // and is taken as the first byte of the next one.)
        std::size_t end = i + 1;
        while (end < line.size() && line[end] != '"' && (inQuotes || line[end] != ' ')) ++end;
        if (!collecting) {
            if (count == result.size()) result.emplace_back();
            result[count].clear();
            collecting = true;
        }
        result[count].append(line.substr(i, end - i));
        i = end;
    }
    if (collecting) ++count;
    result.resize(count);
}
