#include "daemon/tokenizer.h"

namespace {

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string_view Trimmed(std::string_view s) {
    std::size_t first = 0;
    while (first < s.size() && IsTrimmed(s[first])) ++first;
    std::size_t end = s.size();
    while (end > first && IsTrimmed(s[end - 1])) --end;
    return s.substr(first, end - first);
}

void Trim(std::string& s) {
    const std::string_view kept = Trimmed(s);
    const auto first = static_cast<std::size_t>(kept.data() - s.data());
    s.erase(first + kept.size());
    s.erase(0, first);
}

void LowerInPlace(std::string& s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}

std::string ToLower(std::string_view s) {
    std::string lower(s);
    LowerInPlace(lower);
    return lower;
}

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
