// The state of the keyboard's lock keys as the window that receives the input sees it.
#pragma once

#include "platform/win32.h"

#include <span>

// Caps Lock as the target of marlet's keyboard input sees it, read without changing any thread's
// key state, and the keyboard records sent through it (so that the Caps Lock presses among them
// are accounted for).
//
// A thread's key state follows only the input that thread reads. marlet's threads read none, and
// attaching to the foreground thread's input to read its state would reset that state (the
// window loses its lock). So the lock is read by a thread made for the read: Windows gives a new
// thread's input the system's own key state, toggles included. Where that reading shows it does
// not follow input (Wine gives a new thread's input a cleared key state), the Caps Lock presses
// marlet sent are counted on top of it: the first press tells which is the case.
class LockKeys {
public:
    // Whether Caps Lock is on for the window that takes the keyboard input.
    bool CapsLockOn();

    // SendInput for keyboard records: what it returns, with the Caps Lock presses among the
    // records the system took accounted for.
    UINT Send(std::span<INPUT> records);

private:
    enum class Reading { Untried, FollowsInput, Stale };
    Reading reading_ = Reading::Untried;
    bool toggled_ = false;  // marlet has sent an odd number of Caps Lock presses
};
