#!/usr/bin/env python3
"""One host daemon answers a million mixed commands on real pipes; its resident memory is read
along the way. Every answer is checked to be one JSON object."""

import argparse
import json
import subprocess
import sys
import threading
from pathlib import Path

MARLET = Path(__file__).resolve().parents[1] / "build" / "host" / "marlet"

# Every command word, successes and failures, long and short; one answer each.
MIX = [
    "pos", "screen", "move {x},{y}", "click {x},{y}", "rclick {x},{y} middle", "scroll -120 {x},{y}",
    "scroll 120", "type \"Hello, world! caf\u00e9 \u65e5\u672c\"", "press ctrl+shift+esc", "key alt f4",
    "press num++a", "find notepad {i}", "focus 0x{i:x}", "foreground 0", "wait 0", "help",
    "click {x}", "move a,b", "press foo", "frobnicate {i}", "type " + "x" * 300, "find \"C:\\\\Users\\\\{i}\"",
]


def rss_kb(pid, field):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1])
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--commands", type=int, default=1_000_000)
    parser.add_argument("--checkpoints", type=int, default=10)
    args = parser.parse_args()
    if not MARLET.exists():
        sys.exit(f"{MARLET} is missing: cmake --preset host && cmake --build --preset host")
    proc = subprocess.Popen([str(MARLET)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    step = args.commands // args.checkpoints
    progress = threading.Semaphore(0)

    def write():
        for c in range(args.checkpoints):
            progress.acquire()  # one checkpoint's commands at a time, so memory is read between them
            lines = []
            for i in range(c * step, (c + 1) * step):
                lines.append(MIX[i % len(MIX)].format(i=i, x=i % 1920, y=i % 1080))
            proc.stdin.write(("\n".join(lines) + "\n").encode())
            proc.stdin.flush()
        progress.acquire()  # the last reading is taken while the daemon still runs
        proc.stdin.close()

    writer = threading.Thread(target=write)
    writer.start()
    readings = [(0, rss_kb(proc.pid, "VmRSS"))]
    answered = 0
    for c in range(args.checkpoints):
        progress.release()
        while answered < (c + 1) * step:
            line = proc.stdout.readline()
            if not line:
                sys.exit("the daemon stopped answering")
            json.loads(line)
            answered += 1
        readings.append((answered, rss_kb(proc.pid, "VmRSS")))
    peak = rss_kb(proc.pid, "VmHWM")
    progress.release()
    writer.join()
    assert proc.wait() == 0
    print(f"{'commands':>10} {'RSS KiB':>8}")
    for n, kb in readings:
        print(f"{n:10d} {kb:8d}")
    print(f"peak RSS {peak} KiB; after the first checkpoint it moved by {readings[-1][1] - readings[1][1]:+d} KiB")


if __name__ == "__main__":
    main()
