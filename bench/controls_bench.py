#!/usr/bin/env python3
"""The control commands under Wine: `controls` of a dialog of 63 controls (the test dialog with 50
more fields and labels), and a `controltext` round trip, each as the client sees it (the command
written, its answer read and parsed)."""

import argparse
import json
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from conftest import DIALOG_EXE, Daemon, Probe, wine_session  # noqa: E402


def timed(daemon, line, runs):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        answer = json.loads(daemon.ask(line))
        times.append(time.perf_counter() - started)
        assert answer["status"] == "ok", answer
    return sorted(times), answer


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=300)
    args = parser.parse_args()
    with wine_session() as env:
        daemon = Daemon(env)
        daemon.err.next()
        many = Probe(env, "many", exe=DIALOG_EXE)  # the dialog's first argument: 50 more controls
        try:
            listing, answer = timed(daemon, f"controls {many.hwnd_text}", args.runs)
            count = len(answer["controls"])
            text, _ = timed(daemon, f"controltext {many.hwnd_text}/Edit1", args.runs * 3)
            for name, values in ((f"controls ({count} controls)", listing), ("controltext", text)):
                print(f"{name:28} median {statistics.median(values) * 1000:.3f} ms, "
                      f"p90 {values[int(len(values) * 0.9)] * 1000:.3f} ms, max {values[-1] * 1000:.3f} ms")
        finally:
            many.close()
            daemon.close()


if __name__ == "__main__":
    main()
