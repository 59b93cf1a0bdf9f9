#!/usr/bin/env python3
"""Picture search under Wine, as a client sees it: `findimage` of a 50 x 50 template on the full
1920 x 1080 screen (cut from its bottom right corner, so that the whole screen is searched) beside
one full-screen capture alone (`waitstill 0 0,0,1920,1080 0` captures once and answers) and beside
a full screenshot."""

import argparse
import base64
import json
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from conftest import SCREEN_H, SCREEN_W, Daemon, Probe, wine_session  # noqa: E402


def timed(daemon, line, runs):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        answer = json.loads(daemon.ask(line, timeout=60))
        times.append(time.perf_counter() - started)
        assert answer["status"] == "ok", answer
    return statistics.median(times) * 1000


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=40)
    args = parser.parse_args()
    with wine_session() as env:
        daemon = Daemon(env)
        daemon.err.next()
        probe = Probe(env, "marlet bench pattern", (0, 0, SCREEN_W, SCREEN_H), pattern=True)
        try:
            json.loads(daemon.ask(f"focus {probe.hwnd_text}"))
            time.sleep(1.0)
            cut = json.loads(daemon.ask(f"screenshot {SCREEN_W - 50},{SCREEN_H - 50},50,50"))["png"]
            template = "base64:" + cut
            found = json.loads(daemon.ask(f"findimage {template}"))
            assert found["left"] == SCREEN_W - 50 and found["top"] == SCREEN_H - 50, found
            capture = timed(daemon, f"waitstill 0 0,0,{SCREEN_W},{SCREEN_H} 0", args.runs)
            search = timed(daemon, f"findimage {template}", args.runs)
            tolerant = timed(daemon, f"findimage {template} 8", args.runs)
            shot = timed(daemon, "screenshot", args.runs // 4)
            print(f"full-screen capture alone      median {capture:7.2f} ms")
            print(f"findimage, exact               median {search:7.2f} ms  ({search / capture:.2f}x the capture)")
            print(f"findimage, tolerance 8         median {tolerant:7.2f} ms  ({tolerant / capture:.2f}x the capture)")
            print(f"screenshot (capture and PNG)   median {shot:7.2f} ms")
        finally:
            probe.close()
            daemon.close()


if __name__ == "__main__":
    main()
