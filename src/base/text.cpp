#include "base/text.h"

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
    if (kept.size() == s.size()) return;  // the usual line: nothing to take off
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
