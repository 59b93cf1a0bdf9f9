#!/usr/bin/env python3
"""Commands per second through real pipes: the host marlet (simulated desktop) against the floor
program, on the same stream of commands in the same run, the client reading every answer.

Pipelined: a writer thread sends the whole stream while the client reads answers as they come.
Lockstep: the client sends one command and reads its answer before it sends the next.

The two programs run in pairs, one straight after the other (which goes first alternates), and
the fraction is the median of the pairs' ratios: the machine's speed drifts by more than the
difference being measured, and a pair shares its spell of it."""

import argparse
import os
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
HOST = ROOT / "build" / "host"


# The streams measured: the four commands clients send most, mixed, and each of three alone.
STREAMS = {
    "mixed": ["pos", "move {x},{y}", "press ctrl+c", "type hello"],
    "pos": ["pos"],
    "move": ["move {x},{y}"],
    "press": ["press ctrl+c"],
}


def command_stream(n, kind="mixed"):
    kinds = STREAMS[kind]
    return [kinds[i % len(kinds)].format(x=i % 1920, y=i % 1080) for i in range(n)]


def pipelined(program, lines):
    data = ("\n".join(lines) + "\n").encode()
    proc = subprocess.Popen([str(program)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def write():
        proc.stdin.write(data)
        proc.stdin.close()

    started = time.perf_counter()
    writer = threading.Thread(target=write)
    writer.start()
    answers = 0
    fd = proc.stdout.fileno()
    while answers < len(lines):
        chunk = os.read(fd, 1 << 16)
        if not chunk:
            break
        answers += chunk.count(b"\n")
    elapsed = time.perf_counter() - started
    writer.join()
    proc.wait()
    assert answers == len(lines), (program, answers)
    return len(lines) / elapsed


def lockstep(program, lines):
    proc = subprocess.Popen([str(program)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            bufsize=0)
    # Answers are read the way a client would, through a buffer: an unbuffered readline costs
    # one system call per byte, which would charge the longer answer for the client's reading.
    fin, fout = proc.stdin, os.fdopen(os.dup(proc.stdout.fileno()), "rb", buffering=1 << 16)
    started = time.perf_counter()
    for line in lines:
        fin.write(line.encode() + b"\n")
        if not fout.readline():
            raise RuntimeError("no answer")
    elapsed = time.perf_counter() - started
    fin.close()
    fout.close()
    proc.wait()
    return len(lines) / elapsed


def paired_runs(runs, f, marlet, floor, stream):
    """(marlet rate, floor rate) of each pair of runs."""
    pairs = []
    for r in range(runs):
        if r % 2 == 0:
            m = f(marlet, stream)
            fl = f(floor, stream)
        else:
            fl = f(floor, stream)
            m = f(marlet, stream)
        pairs.append((m, fl))
    return pairs


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--commands", type=int, default=400_000)
    parser.add_argument("--lockstep-commands", type=int, default=20_000)
    parser.add_argument("--runs", type=int, default=9, help="pairs of runs")
    parser.add_argument("--marlet", type=Path, default=HOST / "marlet", help="the daemon to measure")
    parser.add_argument("--stream", choices=sorted(STREAMS), action="append",
                        help="the commands sent (repeatable; default: mixed, then pos, move and press alone)")
    args = parser.parse_args()
    marlet, floor = args.marlet, HOST / "bench" / "marlet_floor"
    for exe in (marlet, floor):
        if not exe.exists():
            sys.exit(f"{exe} is missing: cmake --preset host && cmake --build --preset host")
    print(f"{'stream':7} {'mode':10} {'commands':>9} {'marlet/s':>18} {'floor/s':>18} {'fraction':>9} "
          f"{'pairs range':>12}")
    for kind in args.stream or ["mixed", "pos", "move", "press"]:
        lines = command_stream(args.commands, kind)
        few = command_stream(args.lockstep_commands, kind)
        for mode, f, stream in [("pipelined", pipelined, lines), ("lockstep", lockstep, few)]:
            pairs = paired_runs(args.runs, f, marlet, floor, stream)
            ratios = sorted(m / fl for m, fl in pairs)
            m_rates = sorted(m for m, _ in pairs)
            f_rates = sorted(fl for _, fl in pairs)
            print(f"{kind:7} {mode:10} {len(stream):9d} {statistics.median(m_rates):>10,.0f} median "
                  f"{statistics.median(f_rates):>10,.0f} median {statistics.median(ratios):9.2f} "
                  f"{ratios[0]:6.2f}-{ratios[-1]:.2f}", flush=True)


if __name__ == "__main__":
    main()
