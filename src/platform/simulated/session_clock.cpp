// The simulated desktop's session, start-up services and clock: the session and input desktop,
// DPI awareness, the modules, the last error, Sleep and the tick count, console control events.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <algorithm>
#include <utility>
#include <cwctype>
#include <string>
#include <string_view>
#include <iterator>
#include <vector>

namespace sim {
namespace {

LONG_PTR g_user32Marker = 0;

BOOL WINAPI SimSetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    Desktop& d = State();
    if (d.recording) d.dpiAwarenessContextCalls.push_back(reinterpret_cast<LONG_PTR>(context));
    return d.dpiAwarenessContextResult;
}

}  // namespace
}  // namespace sim

using sim::Desktop;

DWORD WINAPI GetCurrentProcessId() { return sim::State().currentProcess; }

BOOL WINAPI ProcessIdToSessionId(DWORD dwProcessId, DWORD* pSessionId) {
    Desktop& d = sim::State();
    if (dwProcessId != d.currentProcess || pSessionId == nullptr) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    *pSessionId = d.session;
    return TRUE;
}

namespace sim {
namespace {
int g_inputDesktopMarker = 0;
}  // namespace
}  // namespace sim

HDESK WINAPI OpenInputDesktop(DWORD, BOOL, DWORD) {
    Desktop& d = sim::State();
    if (d.inputDesktop.empty()) {
        d.lastError = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    return reinterpret_cast<HDESK>(&sim::g_inputDesktopMarker);
}

BOOL WINAPI GetUserObjectInformationW(HANDLE hObj, int nIndex, PVOID pvInfo, DWORD nLength, LPDWORD lpnLengthNeeded) {
    Desktop& d = sim::State();
    if (hObj != &sim::g_inputDesktopMarker || nIndex != UOI_NAME) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    wchar_t name[256];
    const int n = sim::CopyWide(d.inputDesktop, name, 256);
    const auto needed = static_cast<DWORD>((n + 1) * sizeof(wchar_t));
    if (lpnLengthNeeded != nullptr) *lpnLengthNeeded = needed;
    if (pvInfo == nullptr || nLength < needed) {
        d.lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
        return FALSE;
    }
    std::copy(name, name + n + 1, static_cast<wchar_t*>(pvInfo));
    return TRUE;
}

BOOL WINAPI CloseDesktop(HDESK hDesktop) { return hDesktop == reinterpret_cast<HDESK>(&sim::g_inputDesktopMarker); }

BOOL WINAPI SetProcessDPIAware() {
    ++sim::State().dpiAwareCalls;
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    Desktop& d = sim::State();
    if (d.recording) d.sleeps.push_back(dwMilliseconds);
    d.tickCount += dwMilliseconds * d.clockScale;
}

ULONGLONG WINAPI GetTickCount64() { return sim::State().tickCount; }

DWORD WINAPI GetTickCount() { return static_cast<DWORD>(sim::State().tickCount); }

DWORD WINAPI GetCurrentThreadId() { return sim::State().currentThread; }

namespace sim {

// A thread the program started: it has run to its end, and this is what it returned.
struct SimThread {
    DWORD exitCode;
};

bool CloseThreadHandle(HANDLE handle) {
    auto& threads = StartedThreads();
    const auto found = std::find(threads.begin(), threads.end(), handle);
    if (found == threads.end()) return false;
    delete static_cast<SimThread*>(*found);
    threads.erase(found);
    return true;
}

std::vector<HANDLE>& StartedThreads() {
    static std::vector<HANDLE> threads;
    return threads;
}

}  // namespace sim

HANDLE WINAPI CreateThread(void*, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD,
                           LPDWORD lpThreadId) {
    Desktop& d = sim::State();
    if (d.refuseThreads || lpStartAddress == nullptr) {
        d.lastError = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    const DWORD id = d.nextThread++;
    ++d.threadsStarted;
    if (lpThreadId != nullptr) *lpThreadId = id;
    const DWORD caller = std::exchange(d.currentThread, id);
    const DWORD exitCode = lpStartAddress(lpParameter);
    d.currentThread = caller;
    d.threadLocks.erase(id);  // its input ends with it
    auto* thread = new sim::SimThread{exitCode};
    sim::StartedThreads().push_back(thread);
    return thread;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD) {
    const auto& threads = sim::StartedThreads();
    if (std::find(threads.begin(), threads.end(), hHandle) != threads.end()) return WAIT_OBJECT_0;
    sim::State().lastError = ERROR_INVALID_HANDLE;
    return WAIT_FAILED;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    const auto& threads = sim::StartedThreads();
    if (lpExitCode == nullptr || std::find(threads.begin(), threads.end(), hThread) == threads.end()) {
        sim::State().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    *lpExitCode = static_cast<sim::SimThread*>(hThread)->exitCode;
    return TRUE;
}

DWORD WINAPI GetLastError() { return sim::State().lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { sim::State().lastError = dwErrCode; }

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    if (lpModuleName == nullptr || !sim::State().user32Loaded) return nullptr;
    std::wstring name(lpModuleName);
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    if (name != L"user32.dll" && name != L"user32") return nullptr;
    return reinterpret_cast<HMODULE>(&sim::g_user32Marker);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule != reinterpret_cast<HMODULE>(&sim::g_user32Marker) || lpProcName == nullptr) return nullptr;
    if (std::string_view(lpProcName) == "SetProcessDpiAwarenessContext" && sim::State().hasDpiAwarenessContext) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&sim::SimSetProcessDpiAwarenessContext));
    }
    return nullptr;
}

BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add) {
    Desktop& d = sim::State();
    if (HandlerRoutine == nullptr) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    auto& handlers = d.consoleHandlers;
    if (Add) {
        handlers.push_back(HandlerRoutine);
        return TRUE;
    }
    const auto found = std::find(handlers.rbegin(), handlers.rend(), HandlerRoutine);
    if (found == handlers.rend()) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    handlers.erase(std::next(found).base());
    return TRUE;
}

namespace sim {

bool RaiseConsoleControl(DWORD event) {
    // As the system does: the handlers last added first, until one says it handled the event.
    const std::vector<PHANDLER_ROUTINE> handlers = State().consoleHandlers;
    for (auto handler = handlers.rbegin(); handler != handlers.rend(); ++handler) {
        if ((*handler)(event)) return true;
    }
    return false;
}

}  // namespace sim
