#!/usr/bin/env python3
"""Starts Notepad, types a text into it, saves it as a file and reads the file back.

    MARLET_EXE=build/windows/marlet.exe python3 examples/notepad_round_trip.py [FILE]

On Windows, FILE defaults to %TEMP%\\marlet-notepad.txt; under Wine to /tmp/marlet-notepad.txt.
"""

import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "clients" / "python"))
from marlet import Marlet  # noqa: E402

TEXT = 'He said "hi"\nCafé crème, naïve\n'


def main():
    target = Path(sys.argv[1] if len(sys.argv) > 1 else Path(tempfile.gettempdir()) / "marlet-notepad.txt").resolve()
    if target.exists():
        target.unlink()
    windows_path = str(target) if sys.platform == "win32" else "Z:" + str(target).replace("/", "\\")
    notepad = subprocess.Popen(["notepad.exe"] if sys.platform == "win32" else ["wine", "notepad"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        with Marlet() as m:
            window = m.wait_window("Notepad", timeout=30.0)
            m.activate(window)
            m.type(TEXT)
            m.press("ctrl+s")
            m.wait_window("Save As", timeout=10.0)
            m.type(windows_path)
            m.press("enter")
            m.wait_window(f"{target.name} - Notepad", timeout=10.0)
        deadline = time.monotonic() + 10
        while not target.exists() and time.monotonic() < deadline:
            time.sleep(0.1)
        saved = target.read_bytes().decode("mbcs" if sys.platform == "win32" else "cp1252")
        print(f"saved {target}: {saved!r}")
        print("the same text" if saved.replace("\r\n", "\n") == TEXT else "NOT the text typed")
    finally:
        notepad.kill()


if __name__ == "__main__":
    main()
