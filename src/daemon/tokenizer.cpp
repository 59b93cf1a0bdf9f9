#include "daemon/tokenizer.h"

namespace {

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

void Trim(std::string& s) {
    std::size_t first = 0;
    while (first < s.size() && IsTrimmed(s[first])) ++first;
    if (first == s.size()) {
        s.clear();
        return;
    }
    std::size_t last = s.size() - 1;
    while (IsTrimmed(s[last])) --last;
    s.erase(last + 1);
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
    std::string current;
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && (i == 0 || line[i - 1] != '\\')) {
            inQuotes = !inQuotes;
        } else if (c == ' ' && !inQuotes) {
            if (!current.empty()) {
                result.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) result.push_back(std::move(current));
    return result;
}
