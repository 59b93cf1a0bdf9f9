// The floor of typing on Windows: one SendInput call per character, with the records of that
// character worked out before the clock starts, so nothing runs between the calls. The typing
// benchmark sets marlet's typing speed beside this program's, in the same run.
//
// Usage: marlet_sendinput_floor   (the text is the first line of standard input)
// Prints: "<characters> <records> <seconds>" on standard output.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

INPUT Key(WORD vk, WORD scan, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = KEYEVENTF_SCANCODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// The records of a character on the current layout: its modifiers down, the key down and up,
// the modifiers up. Characters the layout lacks get none (the benchmark text has none).
std::vector<INPUT> RecordsOf(char c) {
    std::vector<INPUT> records;
    const SHORT value = VkKeyScanA(c);
    if (value == -1) return records;
    const WORD vk = value & 0xFF;
    const WORD modifiers[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
    for (int m = 0; m < 3; ++m) {
        if (value & (0x100 << m))
            records.push_back(
                Key(modifiers[m], static_cast<WORD>(MapVirtualKeyW(modifiers[m], MAPVK_VK_TO_VSC)), false));
    }
    const auto scan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    records.push_back(Key(vk, scan, false));
    records.push_back(Key(vk, scan, true));
    for (int m = 2; m >= 0; --m) {
        if (value & (0x100 << m))
            records.push_back(
                Key(modifiers[m], static_cast<WORD>(MapVirtualKeyW(modifiers[m], MAPVK_VK_TO_VSC)), true));
    }
    return records;
}

}  // namespace

int main() {
    std::string text;
    std::getline(std::cin, text);
    std::array<std::vector<INPUT>, 256> table;
    for (int c = 0; c < 256; ++c) table[c] = RecordsOf(static_cast<char>(c));
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    unsigned long long records = 0;
    for (const char c : text) {
        std::vector<INPUT>& batch = table[static_cast<unsigned char>(c)];
        if (batch.empty()) continue;
        records += SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
    }
    QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("%zu %llu %.6f\n", text.size(), records, seconds);
    return 0;
}
