// The state of the keyboard's lock keys as the window that receives the input sees it.
#pragma once

// Whether Caps Lock is on for the foreground window's input. A thread's key state only follows
// the input that thread reads, and marlet's reads none, so it is read while attached to the
// input of the foreground window's thread (detached again at once).
bool CapsLockOn();
