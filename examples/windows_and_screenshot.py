#!/usr/bin/env python3
"""Lists the visible windows, front first, and saves a screenshot of the active one.

    MARLET_EXE=build/windows/marlet.exe python3 examples/windows_and_screenshot.py [PNG]
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "clients" / "python"))
from marlet import Marlet, MarletError  # noqa: E402


def main():
    target = Path(sys.argv[1] if len(sys.argv) > 1 else "active-window.png")
    with Marlet() as m:
        for w in m.windows():
            flags = " ".join(name for name, on in [("active", w.foreground), ("minimized", w.minimized),
                                                   ("maximized", w.maximized)] if on)
            print(f"{w.hwnd:>10}  {w.rect.width:>5}x{w.rect.height:<5} pid {w.pid:<6} {w.class_name:<20} "
                  f"{w.title!r} {flags}")
        try:
            hwnd, title = m.active()
        except MarletError as e:
            sys.exit(f"no screenshot: {e.message}")
        # The daemon captures; the client writes the bytes where this script runs.
        target.write_bytes(m.screenshot(m.rect(hwnd)))
        print(f"saved {title!r} as {target}")


if __name__ == "__main__":
    main()
