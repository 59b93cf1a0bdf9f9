"""What the Wine benchmarks share: a Wine session's daemon and probe windows from the end-to-end
harness, round trips timed as a client sees them, and a screen covered by the probe's pattern."""

import contextlib
import json
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from conftest import DIALOG_EXE, SCREEN_H, SCREEN_W, Daemon, Probe, wine_session  # noqa: E402,F401


def timed(daemon, line, runs, timeout=60):
    """`runs` round trips of `line` (written, answered, parsed), each checked ok: the times in
    seconds, sorted, and the last answer."""
    times = []
    answer = None
    for _ in range(runs):
        started = time.perf_counter()
        answer = json.loads(daemon.ask(line, timeout=timeout))
        times.append(time.perf_counter() - started)
        assert answer["status"] == "ok", answer
    return sorted(times), answer


@contextlib.contextmanager
def wine_daemon():
    """A Wine session and the daemon started in it, its banner read: (env, daemon); the daemon is
    closed at the end, whatever happened."""
    with wine_session() as env:
        daemon = Daemon(env)
        daemon.err.next()
        try:
            yield env, daemon
        finally:
            daemon.close()


@contextlib.contextmanager
def pattern_covered(env, daemon):
    """The whole screen covered by the probe's fine pattern (the hard case for a compressor and a
    search), in front and painted."""
    probe = Probe(env, "marlet bench pattern", (0, 0, SCREEN_W, SCREEN_H), pattern=True)
    try:
        json.loads(daemon.ask(f"focus {probe.hwnd_text}"))
        time.sleep(1.0)
        yield probe
    finally:
        probe.close()
