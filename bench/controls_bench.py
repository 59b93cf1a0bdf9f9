#!/usr/bin/env python3
"""The control commands under Wine: `controls` of a dialog of 63 controls (the test dialog with 50
more fields and labels), and a `controltext` round trip, each as the client sees it (the command
written, its answer read and parsed)."""

import argparse
import statistics

from wine_timing import DIALOG_EXE, Daemon, Probe, timed, wine_session


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
