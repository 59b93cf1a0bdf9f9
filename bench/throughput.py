#!/usr/bin/env python3
"""Commands per second through real pipes: the host marlet (simulated desktop) against the floor
program, on the same stream of commands in the same run, the client reading every answer.

Pipelined: a writer thread sends the whole stream while the client reads answers as they come.
Lockstep: the client sends one command and reads its answer before it sends the next.

Runs alternate between the two programs and each keeps its best, so that a slow spell of the
machine falls on both alike."""

import argparse
import os
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
HOST = ROOT / "build" / "host"


def command_stream(n):
    kinds = ["pos", "move {x},{y}", "press ctrl+c", "type hello"]
    return [kinds[i % 4].format(x=i % 1920, y=i % 1080) for i in range(n)]


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


def best_of_alternating(runs, f, programs, stream):
    best = [0.0] * len(programs)
    for _ in range(runs):
        for i, program in enumerate(programs):
            best[i] = max(best[i], f(program, stream))
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--commands", type=int, default=400_000)
    parser.add_argument("--lockstep-commands", type=int, default=20_000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--marlet", type=Path, default=HOST / "marlet", help="the daemon to measure")
    args = parser.parse_args()
    marlet, floor = args.marlet, HOST / "bench" / "marlet_floor"
    for exe in (marlet, floor):
        if not exe.exists():
            sys.exit(f"{exe} is missing: cmake --preset host && cmake --build --preset host")
    lines = command_stream(args.commands)
    few = command_stream(args.lockstep_commands)
    results = []
    for mode, f, stream in [("pipelined", pipelined, lines), ("lockstep", lockstep, few)]:
        m, fl = best_of_alternating(args.runs, f, [marlet, floor], stream)
        results.append((mode, len(stream), m, fl))
    print(f"{'mode':10} {'commands':>9} {'marlet/s':>12} {'floor/s':>12} {'fraction':>9}")
    for mode, n, m, fl in results:
        print(f"{mode:10} {n:9d} {m:12,.0f} {fl:12,.0f} {m / fl:9.2f}")


if __name__ == "__main__":
    main()
