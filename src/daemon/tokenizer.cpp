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

std::string ToLower(std::string_view s) {
    std::string lower(s);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::vector<std::string> SplitArgs(std::string_view line) {
    std::vector<std::string> result;
    SplitArgsInto(line, result);
    return result;
}

void SplitArgsInto(std::string_view line, std::vector<std::string>& result) {
    // Arguments are written into the strings already in `result`, so that a caller that splits
    // line after line into the same list reuses their storage.
    std::size_t count = 0;
    const auto current = [&]() -> std::string& {
        if (count == result.size()) result.emplace_back();
        return result[count];
    };
    bool inQuotes = false;
    bool collecting = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && (i == 0 || line[i - 1] != '\\')) {
            inQuotes = !inQuotes;
        } else if (c == ' ' && !inQuotes) {
            if (collecting) {
                ++count;
                collecting = false;
            }
        } else {
            if (!collecting) {
                current().clear();
                collecting = true;
            }
            current().push_back(c);
        }
    }
    if (collecting) ++count;
    result.resize(count);
}
