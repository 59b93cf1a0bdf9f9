// The state of the keyboard's lock keys as the window that receives the input sees it.
#pragma once

// Whether Caps Lock is on, read in marlet's own thread. A thread's key state follows the input
// it reads, and one that reads none (as marlet's) is brought up to date with the system's own
// key state whenever it asks: Windows does so, and Wine for the keys that changed since the
// thread's input was made. marlet never attaches its own thread to another's input: the system
// resets the key state of the input attached to (the target window would lose its lock), and
// gives the attaching thread a new input of its own.
bool CapsLockOn();
