// What the simulated desktop's area files share among themselves (not for tests).
#pragma once

#include "platform/simulated/desktop.h"

#include <mutex>
#include <string>
#include <vector>

namespace sim {

// Held by every call that the program's helper threads make (the reads of a control listing):
// the model is one state, so those calls are taken one at a time, each whole.
std::unique_lock<std::recursive_mutex> OneCallAtATime();

// Fills the US English layout's key table and scan codes.
void FillUsLayout(Desktop& d);

// What a mouse or keyboard record the system took does to the pointer, the buttons and the keys.
void ApplyMouse(Desktop& d, const MOUSEINPUT& mi);
void ApplyKey(Desktop& d, const KEYBDINPUT& ki);

// Whether a key with one of these virtual keys is held down.
bool IsDown(const Desktop& d, WORD a, WORD b, WORD c);

// UTF-8 to UTF-16 units copied into `out` (at most size - 1, then a zero); the count copied.
int CopyWide(const std::string& utf8, LPWSTR out, int size);

// UTF-16 units up to a zero unit, as UTF-8.
std::string FromWide(LPCWSTR text);

// The top-level window a control belongs to (null if none).
Window* TopWindowOf(const Control& c);

// A handle to a process (OpenProcess); CloseProcessHandle closes one (false when the handle is
// no such process handle).
HANDLE OpenProcessHandle(DWORD pid);
bool CloseProcessHandle(HANDLE handle);

// The handles of threads started and not yet closed; CloseThreadHandle closes one of them (false
// when the handle is no such thread).
std::vector<HANDLE>& StartedThreads();
bool CloseThreadHandle(HANDLE handle);

}  // namespace sim
