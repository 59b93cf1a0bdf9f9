#!/usr/bin/env python3
"""The control commands under Wine: `controls` of a dialog of 62 controls (the test dialog with 50
more fields and labels), and a `controltext` round trip with the control named by its handle, by
an early ClassNN and by its id, each as the client sees it (the command written, its answer read
and parsed). A ClassNN is found by counting the controls before it, so a late one costs more: the
fourth shows the 47th control."""

import argparse
import json
import statistics

from wine_timing import DIALOG_EXE, Probe, timed, wine_daemon


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=300)
    args = parser.parse_args()
    with wine_daemon() as (env, daemon):
        many = Probe(env, "many", exe=DIALOG_EXE)  # the dialog's first argument: 50 more controls
        try:
            listing, answer = timed(daemon, f"controls {many.hwnd_text}", args.runs)
            count = len(answer["controls"])
            edit = next(c for c in answer["controls"] if c["classnn"] == "Edit1")
            rows = [(f"controls ({count} controls)", listing)]
            for name, line in (("controltext by handle", f"controltext {edit['hwnd']}"),
                               ("controltext by ClassNN", f"controltext {many.hwnd_text}/Edit1"),
                               ("controltext by id", f"controltext {many.hwnd_text}/#{edit['id']}"),
                               ("controltext, 47th by ClassNN", f"controltext {many.hwnd_text}/Edit20")):
                rows.append((name, timed(daemon, line, args.runs * 3)[0]))
            for name, values in rows:
                print(f"{name:30} median {statistics.median(values) * 1000:.3f} ms, "
                      f"p90 {values[int(len(values) * 0.9)] * 1000:.3f} ms, max {values[-1] * 1000:.3f} ms")
            print(json.dumps({"controls_per_control_ms": statistics.median(listing) * 1000 / count}))
        finally:
            many.close()


if __name__ == "__main__":
    main()
