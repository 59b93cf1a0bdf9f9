// The simulated desktop: the Windows services of win32.h, answered by a model that behaves the
// way the platform does wherever marlet's results depend on it. This file holds the one state
// and its reset; each area's services live in a file of their own (input, windows, screen and
// GDI, files, clipboard, session and clock).
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

namespace sim {

std::unique_lock<std::recursive_mutex> OneCallAtATime() {
    static std::recursive_mutex calls;
    return std::unique_lock<std::recursive_mutex>(calls);
}

namespace {

Desktop MakeDesktop() {
    Desktop d;
    FillUsLayout(d);
    return d;
}

// The model starts with the default layout, so the host daemon runs on it too. A namespace
// scope object, initialised before main, so that the calls need no guard.
Desktop g_desktop = MakeDesktop();

}  // namespace

Desktop& State() { return g_desktop; }

void Reset() {
    Desktop& d = State();
    d = Desktop{};
    FillUsLayout(d);
    d.recording = true;
}

}  // namespace sim
