// The simulated desktop's top-level windows: enumeration, titles, states, frames, messages,
// the foreground window and the foreground lock, and thread input attachment.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <algorithm>
#include <utility>
#include <cstring>
#include <string>
#include <vector>

namespace sim {

HWND AddWindow(const std::string& title, bool visible, bool minimized) {
    Desktop& d = State();
    // Handles like the platform's: small, even, spread out.
    const auto value = static_cast<std::uintptr_t>(0x10010 + 0x2A * d.windows.size());
    HWND handle = reinterpret_cast<HWND>(value);
    const auto index = static_cast<DWORD>(d.windows.size());
    sim::Window w{};
    w.handle = handle;
    w.title = title;
    w.visible = visible;
    w.minimized = minimized;
    w.alive = true;
    w.thread = 0x100 + 4 * index;
    w.process = 0x2000 + 4 * index;
    d.windows.push_back(w);
    return handle;
}

Window* FindWindow(HWND handle) {
    for (Window& w : State().windows) {
        if (w.handle == handle) return &w;
    }
    return nullptr;
}

void ChangeForeground(HWND hwnd) {
    Desktop& d = State();
    Window* old = FindWindow(d.foreground);
    if (old == nullptr || hwnd == d.foreground) {
        d.foreground = hwnd;
        return;
    }
    const bool readByNow = !old->hung && !old->busy && d.tickCount - d.lastInputTick >= d.inputReadMs;
    if (!readByNow) d.lostInput += old->unreadInput;
    old->unreadInput = 0;
    d.foreground = hwnd;
}

}  // namespace sim

using sim::Desktop;

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    Desktop& d = sim::State();
    d.enumVisits = 0;
    ++d.enumWalks;
    // The callback may not change the list, but copy the handles so that it could.
    std::vector<HWND> handles;
    for (const sim::Window& w : d.windows) {
        if (w.alive && w.bornAfterEnums < d.enumWalks) handles.push_back(w.handle);
    }
    for (HWND h : handles) {
        ++d.enumVisits;
        if (!lpEnumFunc(h, lParam)) return FALSE;
    }
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    Desktop& d = sim::State();
    const sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) {
        d.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    const std::size_t n = std::min(w->title.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpString, w->title.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

BOOL WINAPI IsWindow(HWND hWnd) {
    const auto oneCall = sim::OneCallAtATime();
    if (sim::FindControl(hWnd) != nullptr) return TRUE;
    sim::Window* w = sim::FindWindow(hWnd);
    if (w != nullptr && w->alive && w->closesAfterChecks >= 0 && w->closesAfterChecks-- == 0) w->alive = false;
    return (w != nullptr && w->alive) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    const sim::Window* w = sim::FindWindow(hWnd);
    return (w != nullptr && w->alive && w->minimized) ? TRUE : FALSE;
}

namespace sim {
namespace {

void ApplyShow(Window& w, int nCmdShow) {
    switch (nCmdShow) {
        case SW_RESTORE:
            // A minimised window goes back to where it was before, maximised or not.
            if (w.minimized) {
                w.minimized = false;
            } else {
                w.maximized = false;
            }
            w.visible = true;
            break;
        case SW_MINIMIZE:
            w.minimized = true;
            w.visible = true;
            break;
        case SW_MAXIMIZE:
            w.minimized = false;
            w.maximized = true;
            w.visible = true;
            break;
        default: break;
    }
}

Window* LiveWindow(HWND hWnd) {
    Window* w = FindWindow(hWnd);
    if (w == nullptr || !w->alive) {
        State().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return nullptr;
    }
    return w;
}

// The window rectangle: the frame with the invisible borders around it. A maximised window
// fills the primary monitor's frame; a minimised one is parked far off screen, as Windows does.
RECT WindowRect(const Window& w) {
    const Desktop& d = State();
    RECT frame = w.frame;
    if (w.maximized) frame = RECT{0, 0, d.primaryWidth, d.primaryHeight};
    if (w.minimized) frame = RECT{-32000, -32000, -32000 + 160, -32000 + 28};
    return RECT{frame.left - w.borders.left, frame.top - w.borders.top, frame.right + w.borders.right,
                frame.bottom + w.borders.bottom};
}

}  // namespace
}  // namespace sim

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"ShowWindow", hWnd, nCmdShow});
    sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) return FALSE;
    // Carried out by the window's own thread, and waited for.
    if (w->hung) {
        d.blockedCalls.push_back("ShowWindow");
        return FALSE;
    }
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    sim::ApplyShow(*w, nCmdShow);
    return wasVisible;
}

BOOL WINAPI ShowWindowAsync(HWND hWnd, int nCmdShow) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"ShowWindowAsync", hWnd, nCmdShow});
    sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    if (!w->hung) sim::ApplyShow(*w, nCmdShow);  // posted: a hung thread never gets to it
    return TRUE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return 0;
    return sim::CopyWide(w->title, lpString, nMaxCount);
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    const auto oneCall = sim::OneCallAtATime();
    if (const sim::Control* c = sim::FindControl(hWnd)) return sim::CopyWide(c->className, lpClassName, nMaxCount);
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return 0;
    return sim::CopyWide(w->className, lpClassName, nMaxCount);
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    const auto oneCall = sim::OneCallAtATime();
    if (const sim::Control* c = sim::FindControl(hWnd)) return c->visible ? TRUE : FALSE;
    const sim::Window* w = sim::FindWindow(hWnd);
    return (w != nullptr && w->alive && w->visible) ? TRUE : FALSE;
}

BOOL WINAPI IsZoomed(HWND hWnd) {
    const sim::Window* w = sim::FindWindow(hWnd);
    return (w != nullptr && w->alive && w->maximized && !w->minimized) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect) {
    const auto oneCall = sim::OneCallAtATime();
    if (const sim::Control* c = sim::FindControl(hWnd)) {
        if (lpRect == nullptr) return FALSE;
        *lpRect = c->rect;
        return TRUE;
    }
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = sim::WindowRect(*w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect) {
    if (const sim::Control* c = sim::FindControl(hWnd)) {
        if (lpRect == nullptr) return FALSE;
        *lpRect = RECT{0, 0, c->rect.right - c->rect.left, c->rect.bottom - c->rect.top};
        return TRUE;
    }
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    const RECT r = sim::WindowRect(*w);
    const LONG width =
        (r.right - w->borders.right - w->clientInsets.right) - (r.left + w->borders.left + w->clientInsets.left);
    const LONG height =
        (r.bottom - w->borders.bottom - w->clientInsets.bottom) - (r.top + w->borders.top + w->clientInsets.top);
    *lpRect = RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, POINT* lpPoint) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr || lpPoint == nullptr) return FALSE;
    const RECT r = sim::WindowRect(*w);
    lpPoint->x += r.left + w->borders.left + w->clientInsets.left;
    lpPoint->y += r.top + w->borders.top + w->clientInsets.top;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"SetWindowPos", hWnd, static_cast<int>(uFlags)});
    sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    if (w->hung) {
        if (!(uFlags & SWP_ASYNCWINDOWPOS)) d.blockedCalls.push_back("SetWindowPos");
        return TRUE;
    }
    // X, Y, cx and cy place the window rectangle; the frame lies inside it by the borders.
    const LONG width = (uFlags & SWP_NOSIZE) ? w->frame.right - w->frame.left : cx - w->borders.left - w->borders.right;
    const LONG height =
        (uFlags & SWP_NOSIZE) ? w->frame.bottom - w->frame.top : cy - w->borders.top - w->borders.bottom;
    w->frame.left = X + w->borders.left;
    w->frame.top = Y + w->borders.top;
    w->frame.right = w->frame.left + width;
    w->frame.bottom = w->frame.top + height;
    return TRUE;
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (sim::Control* c = sim::FindControl(hWnd)) {
        const sim::Desktop& d = sim::State();
        const sim::Window* top = sim::TopWindowOf(*c);
        if (d.controlsHung || d.controlsBusy || (top != nullptr && top->hung)) return TRUE;  // never read
        if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONUP) {
            c->clicks.push_back(std::string(Msg == WM_LBUTTONDOWN ? "down " : "up ") + std::to_string(lParam & 0xFFFF) +
                                " " + std::to_string((lParam >> 16) & 0xFFFF));
        }
        DWORD_PTR ignored = 0;
        if (Msg == BM_CLICK) SendMessageTimeoutW(hWnd, BM_CLICK, wParam, lParam, 0, 0, &ignored);
        return TRUE;
    }
    sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    w->posted.emplace_back(Msg, wParam);
    // The window's thread closes it when it reads the message, unless it has stopped reading.
    if (Msg == WM_CLOSE && !w->hung) w->alive = false;
    return TRUE;
}

HRESULT WINAPI DwmGetWindowAttribute(HWND hwnd, DWORD dwAttribute, PVOID pvAttribute, DWORD cbAttribute) {
    const sim::Window* w = sim::LiveWindow(hwnd);
    if (w == nullptr || pvAttribute == nullptr) return E_INVALIDARG;
    if (dwAttribute == DWMWA_CLOAKED && cbAttribute == sizeof(DWORD)) {
        *static_cast<DWORD*>(pvAttribute) = w->cloaked ? 2 : 0;
        return S_OK;
    }
    if (dwAttribute == DWMWA_EXTENDED_FRAME_BOUNDS && cbAttribute == sizeof(RECT) && w->dwmFrame) {
        const RECT r = sim::WindowRect(*w);
        *static_cast<RECT*>(pvAttribute) = RECT{r.left + w->borders.left, r.top + w->borders.top,
                                                r.right - w->borders.right, r.bottom - w->borders.bottom};
        return S_OK;
    }
    return E_INVALIDARG;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"SetForegroundWindow", hWnd, 0});
    const sim::Window* w = sim::FindWindow(hWnd);
    if (d.refuseForeground || w == nullptr || !w->alive) return FALSE;
    if (d.foregroundLock) {
        const sim::Window* front = sim::FindWindow(d.foreground);
        const bool ownsForeground = front != nullptr && front->alive && front->process == d.currentProcess;
        const bool sentLastInput = d.lastInputProcess == d.currentProcess;
        const bool attached = front != nullptr && std::find(d.attachedInputs.begin(), d.attachedInputs.end(),
                                                            std::pair<DWORD, DWORD>{d.currentThread, front->thread}) !=
                                                      d.attachedInputs.end();
        if (!ownsForeground && !sentLastInput && !attached && front != nullptr && front->alive) return FALSE;
    }
    if (d.foregroundLag == 0) {
        sim::ChangeForeground(hWnd);
        d.pendingForeground = nullptr;
    } else {
        d.pendingForeground = hWnd;
        d.pendingReads = d.foregroundLag;
    }
    return TRUE;
}

HWND WINAPI GetForegroundWindow() {
    Desktop& d = sim::State();
    ++d.foregroundReads;
    if (d.pendingForeground != nullptr && d.pendingReads >= 0 && d.pendingReads-- == 0) {
        sim::ChangeForeground(d.pendingForeground);
        d.pendingForeground = nullptr;
    }
    const sim::Window* w = sim::FindWindow(d.foreground);
    return (w != nullptr && w->alive) ? d.foreground : nullptr;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, DWORD* lpdwProcessId) {
    if (const sim::Control* c = sim::FindControl(hWnd)) {
        const sim::Window* top = sim::TopWindowOf(*c);
        if (top == nullptr) return 0;
        if (lpdwProcessId != nullptr) *lpdwProcessId = top->process;
        return top->thread;
    }
    const sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) {
        sim::State().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (lpdwProcessId != nullptr) *lpdwProcessId = w->process;
    return w->thread;
}

BOOL WINAPI AttachThreadInput(DWORD idAttach, DWORD idAttachTo, BOOL fAttach) {
    Desktop& d = sim::State();
    if (d.recording) d.attachCalls.push_back((fAttach ? "attach " : "detach ") + std::to_string(idAttachTo));
    const std::pair<DWORD, DWORD> link{idAttach, idAttachTo};
    const auto found = std::find(d.attachedInputs.begin(), d.attachedInputs.end(), link);
    if (idAttach == idAttachTo || (fAttach != 0) == (found != d.attachedInputs.end())) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (fAttach) {
        d.attachedInputs.push_back(link);
        // "Key state ... is reset after a call to AttachThreadInput": to the system's own (Windows)
        // or to all keys up and the locks off (Wine), for the joined input's own thread too.
        d.threadLocks[idAttachTo] = d.keyStatesCleared ? sim::InputArea::Locks{} : sim::InputArea::Locks{d.capsLock, d.numLock};
    } else {
        d.attachedInputs.erase(found);
        d.threadLocks.erase(idAttach);  // an input of its own again, made when next asked
    }
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, void*, UINT flags) {
    sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) return FALSE;
    if ((flags & RDW_INVALIDATE) && w->visible && !w->minimized &&
        (lprcUpdate == nullptr || (lprcUpdate->right > lprcUpdate->left && lprcUpdate->bottom > lprcUpdate->top)))
        w->invalid = true;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, RECT* lpRect, BOOL) {
    Desktop& d = sim::State();
    ++d.updateLooks;
    sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) return FALSE;
    // A thread that reads its messages has by now read its input, and then painted.
    if (!w->hung && !w->busy) {
        w->unreadInput = 0;
        w->invalid = false;
    }
    if (lpRect != nullptr) *lpRect = w->invalid ? RECT{0, 0, 1, 1} : RECT{};
    return w->invalid ? TRUE : FALSE;
}

BOOL WINAPI IsHungAppWindow(HWND hwnd) {
    const sim::Window* w = sim::FindWindow(hwnd);
    return w != nullptr && w->alive && w->hung ? TRUE : FALSE;
}
