"""The line exchange with one marlet process: finding and starting the program, writing command
lines, reading answer lines with a deadline, and noticing that the process has ended."""

from __future__ import annotations

import collections
import json
import os
import queue
import shutil
import subprocess
import sys
import threading
from pathlib import Path
from typing import Deque, List, Optional

from .errors import MarletExited, MarletTimeout

__all__ = ["Transport", "default_exe", "command_line", "BANNER", "START_WAIT"]

# The line the daemon writes on standard error once it reads commands.
BANNER = "marlet daemon ready. Type 'help' for commands."
# The least time a start is given to write its banner, in seconds: the first start of a Wine
# session starts Wine's server as well.
START_WAIT = 30.0
# How many of the daemon's last standard-error lines are kept for the errors that quote them.
_STDERR_LINES = 50
# How long, in seconds, the standard-error reader is given to finish once the process has ended
# (a child that inherited the pipe may hold it open longer).
_STDERR_DRAIN = 2.0


def default_exe() -> str:
    """MARLET_EXE, else marlet.exe on PATH, else marlet.exe beside this package."""
    if os.environ.get("MARLET_EXE"):
        return os.environ["MARLET_EXE"]
    found = shutil.which("marlet.exe")
    if found:
        return found
    beside = Path(__file__).resolve().parent / "marlet.exe"
    if beside.exists():
        return str(beside)
    raise FileNotFoundError("marlet.exe not found: set MARLET_EXE, put it on PATH or beside the package")


def command_line(exe: str) -> List[str]:
    """How to start the program: a Windows program runs under Wine on any other system."""
    if sys.platform != "win32" and exe.lower().endswith(".exe"):
        wine = shutil.which("wine")
        if not wine:
            raise FileNotFoundError(f"{exe} is a Windows program and wine is not installed")
        return [wine, exe]
    return [exe]


class Transport:
    """One started daemon and its three pipes. Not locked: the client holds its own lock around
    each exchange."""

    def __init__(self, argv: List[str], start_timeout: float) -> None:
        self.closed = False
        self._answers: "queue.Queue[Optional[bytes]]" = queue.Queue()
        self._stderr: Deque[str] = collections.deque(maxlen=_STDERR_LINES)
        self._banner = threading.Event()
        self._proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        threading.Thread(target=self._read_answers, daemon=True).start()
        self._stderr_reader = threading.Thread(target=self._read_stderr, daemon=True)
        self._stderr_reader.start()
        if not self._banner.wait(max(start_timeout, START_WAIT)):
            self.kill()
            if self._proc.poll() is not None:
                raise MarletExited(self._proc.returncode, self._last_stderr())
            raise MarletTimeout("marlet did not start in time")
        if self._proc.poll() is not None and self._answers.empty():
            self._proc.wait()
            raise MarletExited(self._proc.returncode, self._last_stderr())

    @property
    def stderr(self) -> str:
        """The last lines the daemon wrote on standard error."""
        return "\n".join(self._stderr)

    def _last_stderr(self) -> str:
        """The last lines of standard error of a process that has ended: the reader is given a
        moment to take in what the process wrote before it ended."""
        self._stderr_reader.join(_STDERR_DRAIN)
        return self.stderr

    def _read_answers(self) -> None:
        for line in iter(self._proc.stdout.readline, b""):
            self._answers.put(line)
        self._answers.put(None)

    def _read_stderr(self) -> None:
        for raw in iter(self._proc.stderr.readline, b""):
            line = raw.decode("utf-8", errors="replace").rstrip("\r\n")
            self._stderr.append(line)
            if line == BANNER:
                self._banner.set()
        self._banner.set()

    @property
    def process(self) -> subprocess.Popen:
        """The daemon's process."""
        return self._proc

    def send(self, line: str) -> None:
        """Writes one command line; a daemon that has ended raises MarletExited."""
        if self.closed:
            return_code = self._proc.poll()
            raise MarletExited(return_code, self._last_stderr() if return_code is not None else self.stderr)
        try:
            self._proc.stdin.write(line.encode("utf-8") + b"\n")
            self._proc.stdin.flush()
        except (BrokenPipeError, OSError):
            raise self.exited() from None

    def exited(self) -> MarletExited:
        """The error for a daemon that has ended (waited for a moment); the transport is closed."""
        try:
            code = self._proc.wait(5)
        except subprocess.TimeoutExpired:
            code = None
        self.closed = True
        return MarletExited(code, self._last_stderr() if code is not None else self.stderr)

    def kill(self) -> None:
        """Ends the process at once."""
        self.closed = True
        if self._proc.poll() is None:
            self._proc.kill()
        self._proc.wait()

    def receive(self, line: str, count: int, timeout: float) -> List[dict]:
        """The `count` answer lines of the command `line` just sent, parsed, each within `timeout`
        seconds; a late answer kills the daemon (the stream would be out of step after it)."""
        answers = []
        for _ in range(count):
            try:
                raw = self._answers.get(timeout=timeout)
            except queue.Empty:
                self.kill()
                raise MarletTimeout(f"no answer to {line.split(' ')[0]!r} within {timeout:g} s; "
                                    "marlet was stopped") from None
            if raw is None:
                self._answers.put(None)
                raise self.exited()
            answers.append(json.loads(raw.decode("utf-8").rstrip("\r\n")))
        return answers

    def finish(self, timeout: float) -> int:
        """Closes the daemon's input (after the caller sent quit) and waits for it, killing it when
        it does not exit within `timeout` seconds; answers its exit status. Once finished, a
        second call only answers the status."""
        if not self.closed:
            self.closed = True
            try:
                self._proc.stdin.close()
            except (BrokenPipeError, OSError):
                pass
            try:
                self._proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self._proc.kill()
        return self._proc.wait()
