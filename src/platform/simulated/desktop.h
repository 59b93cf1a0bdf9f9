// The simulated desktop behind win32.h on hosts other than Windows: a virtual screen with a
// pointer, a US English keyboard layout, top-level windows and a foreground window. Tests reach
// its state here: reset it, shape it, read back what the program did to it.
#pragma once

#include "platform/win32.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace sim {

// What the next SendInput call accepts: the first `accept` records, then the error code.
struct SendInputPlan {
    UINT accept;
    DWORD error;
};

// A button press, release or wheel turn as the pointer applied it, at the pointer's pixel.
struct MouseEvent {
    DWORD flag;  // one MOUSEEVENTF_ button or wheel flag
    LONG x;
    LONG y;
    LONG wheel;                    // signed wheel distance for MOUSEEVENTF_WHEEL and _HWHEEL, else 0
    bool doubleClick = false;      // a button-down the system takes as the second of a double-click
    std::vector<POINT> path = {};  // for a button-up: where the pointer went while it was down
};

// A top-level window of the simulated desktop.
struct Window {
    HWND handle;
    std::string title;  // any bytes, empty allowed (UTF-8 to the wide services)
    bool visible;
    bool minimized;
    bool alive;     // false once destroyed; the handle then names no window
    DWORD thread;   // the thread that owns it (its input queue)
    DWORD process;  // the process that owns it
    std::string className = "SimWindow";
    bool maximized = false;
    bool cloaked = false;  // hidden by the compositor (another virtual desktop, a suspended app)
    // The frame a person sees, in virtual-screen pixels, and the invisible resize borders the
    // window rectangle adds around it (Windows 10: 7 left, right and bottom); the client area
    // lies inside the frame by clientInsets.
    RECT frame{100, 100, 900, 700};
    RECT borders{7, 0, 7, 7};
    RECT clientInsets{1, 31, 1, 1};
    bool dwmFrame = true;  // whether the compositor reports the frame (else only the window rect)
    // A thread that has stopped reading its messages: a call that waits on it never returns
    // (recorded in Desktop::blockedCalls), and asynchronous requests are never carried out.
    bool hung = false;
    // A thread busy for now: it reads no messages, yet is too recently responsive to count as hung.
    bool busy = false;
    int bornAfterEnums = 0;      // hidden from EnumWindows for its first N walks, as if not yet created
    int closesAfterChecks = -1;  // destroyed after N more IsWindow checks (-1: never)
    std::vector<std::pair<UINT, WPARAM>> posted;  // messages posted to it
    // Keyboard records queued for its thread and not yet read. Its thread reads them (and then
    // paints what is invalid) when the program looks at its update region, or by itself once
    // WindowArea::inputReadMs have passed; a foreground change before then loses them (see
    // WindowArea::lostInput).
    int unreadInput = 0;
    bool invalid = false;  // part of it waits to be painted
};

// A keyboard record as the system decodes it: the key it means, whichever way it was named.
struct KeyStroke {
    WORD vk;  // VK_PACKET for a Unicode character
    bool extended;
    bool up;
};

// A call the program made on a window, in the order made (for the window services).
struct WindowCall {
    std::string op;  // "ShowWindow" or "SetForegroundWindow"
    HWND handle;
    int arg;
};

// A scan code lookup, to tell which of the two MapVirtualKey forms was asked.
struct MapCall {
    bool wide;  // MapVirtualKeyW rather than MapVirtualKeyA
    UINT code;
};

// The state of the simulated desktop, one part per area; Desktop joins them, so a test reaches
// every field by its own name.

// Input: the pointer, the keyboard layout and keys, every SendInput batch and what it did.
struct InputArea {
    // Virtual screen (all monitors) and the primary monitor, whose top-left pixel is (0, 0).
    int virtualLeft = 0;
    int virtualTop = 0;
    int virtualWidth = 1920;
    int virtualHeight = 1080;
    int primaryWidth = 1920;
    int primaryHeight = 1080;
    std::vector<int> metricReads;

    POINT cursor{0, 0};
    // The double-click time and rectangle, and the distance a drag must go before it counts.
    UINT doubleClickTime = 500;
    int doubleClickWidth = 4;
    int doubleClickHeight = 4;
    int dragWidth = 4;
    int dragHeight = 4;
    // Moves the pointer made while a button was down, since that button went down.
    std::vector<POINT> pathWhileDown;
    ULONGLONG lastDownTick = 0;
    // Where the user's hand puts the pointer just before each of the next SendInput calls
    // processes its records: a click's records must still land where the command said.
    std::deque<POINT> handMoves;
    bool cursorAvailable = true;

    // Every SendInput call's records as passed, and what the system did with them.
    std::vector<std::vector<INPUT>> batches;
    std::deque<SendInputPlan> plans;
    std::vector<MouseEvent> mouseEvents;
    // Buttons (their down flags) pressed and not released, and keys (see KeyIdentity) once for
    // every key-down not yet matched by a key-up; few at a time, so plain vectors that never
    // shrink their storage. A key-up of a key not held is counted as stray.
    std::vector<DWORD> heldButtons;
    std::vector<std::uint32_t> heldKeys;
    int strayKeyUps = 0;
    std::vector<std::uint32_t> typedUnits;  // UTF-16 units of KEYEVENTF_UNICODE key-downs
    // What the keyboard records mean to the system, and what they type: the characters a window
    // with the focus receives from layout keys (with Shift and Caps Lock applied, as the US
    // layout does), and the lock keys' toggles.
    std::vector<KeyStroke> keyStrokes;
    std::string layoutText;
    // The lock keys' toggles in the system's own key state (GetAsyncKeyState's), which every
    // key-down moves at once. A thread's key state (GetKeyState's) is its own copy, moved only
    // by the keys that thread reads; see threadLocks.
    bool capsLock = false;
    bool numLock = false;
    // The threads whose toggles are their own and not the system's. A window's thread reads the
    // keys as they come, so it holds the system's toggles until an attach resets its key state,
    // and from then on holds its own, which the lock keys it receives while in front still move.
    // A thread that reads no input is brought up to date with the system's whenever it asks,
    // unless it is attached: it then reads the input it joined. Windows documents the reset and
    // makes it to the system's own state; Wine clears every key, locks included
    // (keyStatesCleared).
    struct Locks {
        bool capsLock = false;
        bool numLock = false;
        bool operator==(const Locks&) const = default;
    };
    std::map<DWORD, Locks> threadLocks;
    bool keyStatesCleared = false;

    // US English keyboard layout.
    std::array<SHORT, 256> vkScan{};
    std::array<UINT, 256> scanCodes{};
    std::array<WORD, 512> scanToVk{};  // ScanToVk's answers, plain then extended; see FillScanDecoding
    std::vector<MapCall> mapCalls;
};

// Windows: the top-level windows, the foreground window and its lock, thread input attachment.
struct WindowArea {
    // Top-level windows in enumeration order (the z-order, front first), and the foreground window.
    std::vector<Window> windows;
    HWND foreground = nullptr;
    bool refuseForeground = false;
    // The foreground lock: with it on, a request is refused unless the caller owns the
    // foreground window, sent the last input, or is attached to the foreground thread's input.
    bool foregroundLock = false;
    DWORD lastInputProcess = 0;  // the process that sent the last input; SendInput makes it ours
    // Calls that would have waited on a hung window's thread for ever.
    std::vector<std::string> blockedCalls;
    int enumWalks = 0;
    // An accepted foreground change shows in GetForegroundWindow only after this many further
    // reads of it (Wine applies it a moment late); -1: never.
    int foregroundLag = 0;
    HWND pendingForeground = nullptr;
    int pendingReads = 0;
    int foregroundReads = 0;
    std::vector<WindowCall> windowCalls;
    // Keyboard records lost: queued for a window whose thread had not read them when another
    // window took the foreground (its focus is gone by the time it reads them).
    int lostInput = 0;
    ULONGLONG inputReadMs = 100;
    ULONGLONG lastInputTick = 0;  // GetLastInputInfo's: when the system last took input
    int updateLooks = 0;          // GetUpdateRect calls
    int enumVisits = 0;  // how many windows the last EnumWindows handed to its callback
    // Threads that share another thread's input (AttachThreadInput).
    std::vector<std::pair<DWORD, DWORD>> attachedInputs;  // (attaching thread, attached to); reads
                                                          // the key state of the input joined
    std::vector<std::string> attachCalls;                 // "attach T" / "detach T", in order
};

// The screen's pixels and the GDI calls that capture them.
struct ScreenArea {
    // The screen's pixels, 0x00RRGGBB, row by row over the virtual screen (from its top-left);
    // empty means the wallpaper (see Wallpaper) all over. Paint() fills it.
    std::vector<std::uint32_t> framebuffer;
    // Paintings still to come: each is painted (as Paint paints) by the first capture once the
    // clock has reached its time, so a test can change the screen under a command that waits.
    struct LaterPaint {
        ULONGLONG at;  // GetTickCount64 time
        int x, y, width, height;
        std::uint32_t rgb;
    };
    std::vector<LaterPaint> laterPaints;
    // GDI: what the capture calls did, and failures to inject.
    int dibSections = 0;          // CreateDIBSection calls that made a bitmap
    int gdiObjects = 0;           // device contexts and bitmaps alive (made and not yet freed)
    int screenDcs = 0;            // screen device contexts taken and not released
    std::vector<DWORD> blitRops;  // the raster operation of every BitBlt (while recording)
    bool refuseBitBlt = false;
    bool refuseDibSection = false;
};

// Files (real ones, under the host's paths) and failures to inject: the next CreateFileW, the
// write that would take the file past `failWriteAt` bytes, the next MoveFileExW.
struct FileArea {
    DWORD failCreate = 0;
    bool filesClosed = false;  // every CreateFileW refused (a fuzzer must not write files)
    std::int64_t failWriteAt = -1;
    DWORD failWriteError = ERROR_DISK_FULL;
    DWORD failMove = 0;
    std::vector<std::string> filesCreated;  // paths, UTF-8, in order
};

// The clipboard: its text (UTF-8 here; UTF-16 to the program), whether it holds text at all, and
// another program that holds it open for the next N OpenClipboard tries.
struct ClipboardArea {
    bool clipboardHasText = false;
    std::string clipboardText;
    int clipboardBusyTries = 0;
    int clipboardOpenTries = 0;
    bool clipboardOpen = false;
    int globalBlocks = 0;  // GlobalAlloc'd blocks not yet freed or given to the clipboard
};

// A child control of a top-level window: a window of its own (its handle names it), run by the
// thread of its top-level window, which answers its messages.
struct Control {
    HWND handle;
    HWND parent;            // a top-level window or another control
    std::string className;  // "Button", "Edit", "ComboBox", "ListBox", "Static", "SysListView32", ...
    int id = 0;
    std::string text;  // UTF-8
    LONG_PTR style = 0;
    bool visible = true;
    bool enabled = true;
    bool alive = true;
    RECT rect{10, 10, 90, 34};  // virtual-screen pixels
    LRESULT checked = 0;        // BM_GETCHECK
    // Combo and list box entries, and the selection (-1: none).
    std::vector<std::string> items;
    int selected = -1;
    // A list view's rows, each a list of its column texts, and its header's column count.
    std::vector<std::vector<std::string>> rows;
    int columns = 0;
    bool ignoresText = false;  // WM_SETTEXT changes nothing (a control that keeps its own text)
    // What reached it: "BM_CLICK", "down X Y", "up X Y" (client pixels).
    std::vector<std::string> clicks;
};

// The controls inside the windows, what their parents were told, and the memory a program
// reserved in the controls' process.
struct ControlArea {
    std::vector<Control> controls;  // in EnumChildWindows order (each control before its children)
    // A control's thread that answers nothing: flagged hung (a message fails at once), or busy
    // (not yet flagged: a message waits out its time limit).
    bool controlsHung = false;
    bool controlsBusy = false;
    struct Notification {
        HWND parent;
        int id;
        WORD code;
        bool operator==(const Notification&) const = default;
    };
    std::vector<Notification> notifications;  // WM_COMMAND notifications, in order
    int remoteBlocks = 0;                     // VirtualAllocEx blocks not yet freed
    bool remoteIs32Bit = false;               // the controls' process is a 32-bit one
    int openProcesses = 0;                    // OpenProcess handles not yet closed
    std::vector<UINT> sentMessages;           // every SendMessageTimeoutW message, in order
    std::vector<std::string> classAtoms;  // class names by atom - 0xC000, as GetClassLongW numbers them
};

// The process, its session and start-up services, the clock and the last error.
struct SessionArea {
    // Start-up services.
    bool user32Loaded = true;
    bool hasDpiAwarenessContext = true;  // whether user32 exports SetProcessDpiAwarenessContext
    BOOL dpiAwarenessContextResult = TRUE;
    std::vector<LONG_PTR> dpiAwarenessContextCalls;
    int dpiAwareCalls = 0;

    // Sleep never blocks here: it records what it was asked and moves the clock on by as much.
    std::vector<DWORD> sleeps;
    ULONGLONG tickCount = 1000000;  // GetTickCount64, in milliseconds
    ULONGLONG clockScale = 1;       // how far the clock moves for each millisecond slept

    DWORD currentThread = 7;
    DWORD currentProcess = 0x1000;
    // Threads started with CreateThread: each runs to its end inside the call, as a thread of
    // its own (GetCurrentThreadId says so), numbered from here.
    DWORD nextThread = 5000;
    int threadsStarted = 0;
    bool refuseThreads = false;
    // The session of the process and the desktop that receives input ("" when it cannot be
    // opened, as on the secure desktop).
    DWORD session = 1;
    std::string inputDesktop = "Default";
    // The console control handlers set, in the order added (see RaiseConsoleControl).
    std::vector<PHANDLER_ROUTINE> consoleHandlers;

    DWORD lastError = 0;
};

struct Desktop : InputArea, WindowArea, ScreenArea, FileArea, ClipboardArea, ControlArea, SessionArea {
    // Whether the calls and input are kept for reading back. Off in a fresh process, so that the
    // host daemon can run for ever in constant memory; Reset() turns it on for tests.
    bool recording = false;
};

// The desktop's state, for tests to shape and inspect.
Desktop& State();

// Back to a single 1920 x 1080 monitor, US layout, no windows, nothing recorded yet, and
// recording from now on.
void Reset();

// Sets the virtual screen rectangle and the primary monitor size.
void SetScreen(int left, int top, int width, int height, int primaryWidth, int primaryHeight);

// Adds a top-level window at the end of the enumeration order and returns its handle.
HWND AddWindow(const std::string& title, bool visible = true, bool minimized = false);

// The simulated screen's colour where nothing was painted, 0x00RRGGBB: gradients and detail
// that make an offset, a swapped channel or a lost row show, the same in every process:
// red (3x + y) & 255, green (x XOR 5y) & 255, blue (x + 7y) & 255 in 32-bit arithmetic.
std::uint32_t Wallpaper(int x, int y);

// Paints the virtual-screen rectangle (x, y, width, height) with one colour, 0x00RRGGBB.
void Paint(int x, int y, int width, int height, std::uint32_t rgb);

// Paints as Paint does once the clock reaches `ms` milliseconds from now (see LaterPaint).
void PaintLater(ULONGLONG ms, int x, int y, int width, int height, std::uint32_t rgb);

// The colour of a virtual-screen pixel (black outside the screen or where nothing was painted).
std::uint32_t PixelAt(int x, int y);

// The window with this handle, or null.
Window* FindWindow(HWND handle);

// Adds a control to a window or another control, after the controls already there, and returns
// its handle; the control with this handle, or null.
HWND AddControl(HWND parent, const std::string& className, int id, const std::string& text = "", LONG_PTR style = 0);
Control* FindControl(HWND handle);

// Makes the window the foreground window at once; the input the old one had not read is lost.
void ChangeForeground(HWND hwnd);

// The identity under which a keyboard record presses or releases a key, as heldKeys keeps it.
std::uint32_t KeyIdentity(const KEYBDINPUT& ki);

// The virtual key a scan code means on the US layout (with or without the extended flag), as the
// system decodes scan-code records; 0 for none.
WORD ScanToVk(WORD scan, bool extended);

// Works out ScanToVk's answers again from the layout's scan codes (after a test changes them).
void FillScanDecoding(Desktop& d);

// Sends a console control event (CTRL_C_EVENT, CTRL_CLOSE_EVENT, ...) to the handlers set with
// SetConsoleCtrlHandler, last added first, as the system does on its own thread; true when one
// of them handled it (else the system would end the process).
bool RaiseConsoleControl(DWORD event);

// The lock keys' toggles as a thread's key state holds them (see InputArea::threadLocks).
InputArea::Locks LocksSeenBy(DWORD thread);

// Keyboard records of all batches, flattened in order.
std::vector<KEYBDINPUT> AllKeyRecords();

}  // namespace sim
