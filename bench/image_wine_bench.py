#!/usr/bin/env python3
"""Picture search under Wine, as a client sees it: `findimage` of a 50 x 50 template on the full
1920 x 1080 screen (cut from its bottom right corner, so that the whole screen is searched) beside
one full-screen capture alone (`waitstill 0 0,0,1920,1080 0` captures once and answers) and beside
a full screenshot."""

import argparse
import json
import statistics

from wine_timing import SCREEN_H, SCREEN_W, pattern_covered, timed, wine_daemon


def median_ms(daemon, line, runs):
    return statistics.median(timed(daemon, line, runs)[0]) * 1000


def measure(daemon, runs):
    cut = json.loads(daemon.ask(f"screenshot {SCREEN_W - 50},{SCREEN_H - 50},50,50"))["png"]
    template = "base64:" + cut
    found = json.loads(daemon.ask(f"findimage {template}"))
    assert found["left"] == SCREEN_W - 50 and found["top"] == SCREEN_H - 50, found
    capture = median_ms(daemon, f"waitstill 0 0,0,{SCREEN_W},{SCREEN_H} 0", runs)
    search = median_ms(daemon, f"findimage {template}", runs)
    tolerant = median_ms(daemon, f"findimage {template} 8", runs)
    shot = median_ms(daemon, "screenshot", max(1, runs // 4))
    print(f"full-screen capture alone      median {capture:7.2f} ms")
    print(f"findimage, exact               median {search:7.2f} ms  ({search / capture:.2f}x the capture)")
    print(f"findimage, tolerance 8         median {tolerant:7.2f} ms  ({tolerant / capture:.2f}x the capture)")
    print(f"screenshot (capture and PNG)   median {shot:7.2f} ms")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=40)
    args = parser.parse_args()
    with wine_daemon() as (env, daemon), pattern_covered(env, daemon):
        measure(daemon, args.runs)


if __name__ == "__main__":
    main()
