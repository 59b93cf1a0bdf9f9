#include "keyboard/lock_state.h"

#include "platform/win32.h"

bool CapsLockOn() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
