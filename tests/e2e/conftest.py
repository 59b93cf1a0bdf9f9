"""End-to-end harness: the Windows build of marlet under Wine, on a virtual X display of its own,
driving probe windows that log what they receive."""

import contextlib
import os
import queue
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from daemon_process import start_daemon as start_process  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("MARLET_WINDOWS_BUILD", ROOT / "build" / "windows"))
MARLET_EXE = BUILD / "marlet.exe"
PROBE_EXE = BUILD / "tests" / "e2e" / "probe" / "marlet_probe.exe"
DIALOG_EXE = BUILD / "tests" / "e2e" / "probe" / "marlet_dialog.exe"
SCREEN_W, SCREEN_H = 1920, 1080
DEADLINE = 10.0  # seconds to wait for anything asynchronous


class LineReader:
    """Collects the lines of a byte stream on a thread of its own."""

    def __init__(self, stream):
        self.lines = queue.Queue()
        self.raw = bytearray()
        self._thread = threading.Thread(target=self._run, args=(stream,), daemon=True)
        self._thread.start()

    def _run(self, stream):
        for line in iter(stream.readline, b""):
            self.raw += line
            self.lines.put(line)
        self.lines.put(None)

    def next(self, timeout=DEADLINE):
        try:
            line = self.lines.get(timeout=timeout)
        except queue.Empty:
            raise AssertionError(f"no line within {timeout} s") from None
        if line is None:
            raise AssertionError("stream ended")
        return line

    def join(self, timeout=DEADLINE):
        self._thread.join(timeout)


class Daemon:
    """marlet.exe started as a client starts it: three pipes."""

    def __init__(self, env):
        self.proc = start_process([shutil.which("wine"), str(MARLET_EXE)], env)
        self.out = LineReader(self.proc.stdout)
        self.err = LineReader(self.proc.stderr)

    def send(self, line):
        data = line if isinstance(line, bytes) else line.encode("utf-8")
        self.proc.stdin.write(data + b"\n")
        self.proc.stdin.flush()

    def raw_line(self, timeout=DEADLINE):
        """The next line of standard output, exactly as it arrived (CR LF included)."""
        return self.out.next(timeout)

    def line(self, timeout=DEADLINE):
        """The next line of standard output without its line ending, as text."""
        raw = self.raw_line(timeout)
        assert raw.endswith(b"\r\n"), raw
        return raw[:-2].decode("utf-8")

    def ask(self, line, timeout=DEADLINE):
        self.send(line)
        return self.line(timeout)

    def close(self, timeout=DEADLINE):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.close()
            except BrokenPipeError:
                pass
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.out.join()
        self.err.join()
        return self.proc.returncode


class Probe:
    """A top-level window of our own that logs the messages it receives."""

    def __init__(self, env, title, rect=None, minimized=False, framed=False, pattern=False, dblclks=False,
                 exe=PROBE_EXE):
        args = [shutil.which("wine"), str(exe), title]
        if rect:
            args += [str(v) for v in rect]
        if minimized:
            args.append("minimized")
        if framed:
            args.append("framed")
        if pattern:
            args.append("pattern")
        if dblclks:
            args.append("dblclks")
        self.proc = subprocess.Popen(args, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        self.log = []
        self._reader = LineReader(self.proc.stdout)
        first = self.wait_for(lambda l: l.startswith("hwnd ") or l.startswith("error"))
        assert first.startswith("hwnd "), first
        self.hwnd_text = first.split()[1]
        self.hwnd = int(self.hwnd_text, 16)
        self.pid = int(self.wait_for(lambda l: l.startswith("pid ")).split()[1])
        self.wait_for(lambda l: l == "ready")

    def _pump(self, timeout):
        try:
            line = self._reader.lines.get(timeout=timeout)
        except queue.Empty:
            return False
        if line is None:
            raise AssertionError("probe ended; log: %r" % self.log)
        self.log.append(line.decode("utf-8").rstrip("\r\n"))
        return True

    def wait_for(self, predicate, timeout=DEADLINE, start=0):
        """The first log line from index `start` that satisfies predicate, waiting up to timeout."""
        deadline = time.monotonic() + timeout
        checked = start
        while True:
            while checked < len(self.log):
                if predicate(self.log[checked]):
                    return self.log[checked]
                checked += 1
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError("probe did not log the expected line; log: %r" % self.log[start:])
            self._pump(remaining)

    def settle(self, quiet=0.3):
        """Takes in log lines until none has arrived for `quiet` seconds."""
        while self._pump(quiet):
            pass

    def mark(self):
        """An index into the log: later waits look only at what arrives after it."""
        self.settle(0.05)
        return len(self.log)

    def send(self, command):
        self.proc.stdin.write(command.encode() + b"\n")
        self.proc.stdin.flush()

    def where(self):
        """(window rectangle, client area) as the probe itself reports them, screen pixels."""
        start = self.mark()
        self.send("where")
        values = [int(v) for v in self.wait_for(lambda l: l.startswith("where "), start=start).split()[1:]]
        return tuple(values[:4]), tuple(values[4:])

    def close(self):
        if self.proc.poll() is None:
            try:
                self.send("close")
                self.proc.stdin.close()
                self.proc.wait(DEADLINE)
            except (BrokenPipeError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()


@contextlib.contextmanager
def wine_session():
    """A virtual X display of its own, a Wine prefix in the build folder and a running wineserver;
    yields the environment for Wine processes, and stops them all afterwards."""
    for exe in (MARLET_EXE, PROBE_EXE, DIALOG_EXE):
        if not exe.exists():
            raise RuntimeError(f"{exe} is missing: build the windows preset first")
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        display = f.readline().strip()
    if not display:
        raise RuntimeError("Xvfb did not start")
    env = dict(os.environ)
    env.update(DISPLAY=":" + display, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               WINEPREFIX=str(BUILD / "wineprefix"))
    server = None
    try:
        if not (BUILD / "wineprefix" / "system.reg").exists():
            subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        # A server left running on this prefix by an interrupted run would never end by itself.
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=True)
        server = subprocess.Popen(["wineserver", "-p", "-f"], env=env)
        yield env
    finally:
        subprocess.run(["wineserver", "-k"], env=env)
        if server:
            server.wait(DEADLINE)
        xvfb.terminate()
        xvfb.wait(DEADLINE)


@pytest.fixture(scope="session")
def wine_env():
    try:
        with wine_session() as env:
            yield env
    except RuntimeError as e:
        pytest.fail(str(e))


def start_ready_daemon(env):
    d = Daemon(env)
    assert d.err.next() == b"marlet daemon ready. Type 'help' for commands.\r\n"
    return d


@pytest.fixture(scope="module")
def shared_daemon(wine_env):
    """One daemon for all the cases of a module that do not end it."""
    d = start_ready_daemon(wine_env)
    yield d
    d.close()


def open_focused_probe(env, daemon, title, rect):
    """A probe brought to the foreground by the daemon's own focus command."""
    probe = Probe(env, title, rect)
    assert daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'
    probe.wait_for(lambda l: l == "activate 1")
    return probe


@pytest.fixture
def start_daemon(wine_env):
    started = []

    def start():
        d = start_ready_daemon(wine_env)
        started.append(d)
        return d

    yield start
    for d in started:
        d.close()


@pytest.fixture
def daemon(request, start_daemon):
    """The daemon a case talks to: the module's shared one where the module says its cases never
    end it (SHARES_DAEMON = True), else one of the case's own."""
    if getattr(request.module, "SHARES_DAEMON", False):
        return request.getfixturevalue("shared_daemon")
    return start_daemon()


def focused_probe(title, rect):
    """A module's probe fixture: one probe for the module, brought to the front by the shared
    daemon's own focus command."""

    @pytest.fixture(scope="module")
    def probe(wine_env, shared_daemon):
        p = open_focused_probe(wine_env, shared_daemon, title, rect)
        yield p
        p.close()

    return probe


@pytest.fixture
def start_probe(wine_env):
    started = []

    def start(title, rect=None, minimized=False, framed=False, pattern=False, dblclks=False):
        p = Probe(wine_env, title, rect, minimized, framed, pattern, dblclks)
        started.append(p)
        return p

    yield start
    for p in started:
        p.close()
