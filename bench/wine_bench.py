#!/usr/bin/env python3
"""The Windows build under Wine on its own Xvfb display: start-up time, the round trip of one
command, typing speed and peak memory; beside it, in the same run and on the same display,
xdotool (one process per command) moving the pointer and reading it back."""

import argparse
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from conftest import BUILD as BUILD_DIR, Daemon, Probe, wine_session  # noqa: E402


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def ms(seconds):
    return f"{seconds * 1000:.3f} ms"


def peak_memory_kb(pid, field="VmHWM"):
    """VmHWM (or another /proc status field, in KiB) of the process and of its descendants, the
    largest (Wine runs the program in the process that it starts, or in a child of it)."""
    best = 0
    pids = [pid]
    while pids:
        p = pids.pop()
        try:
            for line in Path(f"/proc/{p}/status").read_text().splitlines():
                if line.startswith(field + ":"):
                    best = max(best, int(line.split()[1]))
            pids += [int(c) for c in Path(f"/proc/{p}/task/{p}/children").read_text().split()]
        except (FileNotFoundError, ProcessLookupError):
            pass
    return best


def start_to_banner(env, runs):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        d = Daemon(env)
        d.err.next()
        times.append(time.perf_counter() - started)
        d.send("quit")
        d.close()
    return times


def round_trips(daemon, n):
    """Times of move then pos, and how many pos answers still showed the previous position (Wine
    applies a move onto another process's window asynchronously, now and then)."""
    times = []
    late = 0
    for i in range(n):
        x, y = (i * 37) % 1920, (i * 23) % 1080
        expected = '{"status":"ok","x":%d,"y":%d}' % (x, y)
        started = time.perf_counter()
        assert daemon.ask(f"move {x},{y}") == '{"status":"ok","data":1}'
        answer = daemon.ask("pos")
        times.append(time.perf_counter() - started)
        if answer != expected:
            late += 1
            deadline = time.monotonic() + 1.0
            while answer != expected and time.monotonic() < deadline:
                answer = daemon.ask("pos")
            assert answer == expected, (x, y, answer)
    return times, late


def xdotool_round_trips(env, n):
    xdotool = shutil.which("xdotool")
    if not xdotool:
        return None
    times = []
    for i in range(n):
        x, y = (i * 37) % 1920, (i * 23) % 1080
        started = time.perf_counter()
        subprocess.run([xdotool, "mousemove", str(x), str(y)], env=env, check=True)
        out = subprocess.run([xdotool, "getmouselocation"], env=env, check=True, capture_output=True, text=True).stdout
        times.append(time.perf_counter() - started)
        assert out.startswith(f"x:{x} y:{y} "), out
    return times


TYPING_ALPHABET = "The quick brown fox jumps over the lazy dog, 0123456789! "
SENDINPUT_FLOOR = BUILD_DIR / "bench" / "marlet_sendinput_floor.exe"


def received_chars(probe, expected):
    """Waits until the probe has received `expected` characters in all; returns how many it has."""
    deadline = time.monotonic() + 30
    while True:
        start = len(probe.log)
        probe.send("count")
        count = int(probe.wait_for(lambda l: l.startswith("chars "), start=start).split()[1])
        if count >= expected or time.monotonic() > deadline:
            return count
        time.sleep(0.05)


def typing(env, daemon, probe, chars, runs):
    """Characters per second of marlet's `type`, timed by the client, and beside each run the same
    text through the SendInput floor (the same records, one SendInput call per character,
    worked out before its clock starts): the most any program can type here. Every character
    must reach the probe."""
    text = (TYPING_ALPHABET * (chars // len(TYPING_ALPHABET) + 1))[:chars]
    rates, floor_rates = [], []
    received = received_chars(probe, 0)
    for _ in range(runs):
        started = time.perf_counter()
        answer = daemon.ask(f'type "{text}"', timeout=120)
        rates.append(chars / (time.perf_counter() - started))
        assert answer.startswith('{"status":"ok","data":'), answer
        out = subprocess.run([shutil.which("wine"), str(SENDINPUT_FLOOR)], input=text + "\n", env=env, check=True,
                             capture_output=True, text=True, timeout=120).stdout.split()
        typed, records, seconds = int(out[0]), int(out[1]), float(out[2])
        assert (typed, f'{{"status":"ok","data":{records}}}') == (chars, answer), (out, answer)
        floor_rates.append(typed / seconds)
        received += 2 * chars
        assert received_chars(probe, received) == received, "characters were lost"
    return rates, floor_rates


def print_typing(what, chars, rates, floor_rates):
    print(f"typing {chars} chars    into {what}: best {max(rates):,.0f} chars/s, worst {min(rates):,.0f} chars/s "
          f"({len(rates)} runs)")
    print(f"SendInput floor, same  best {max(floor_rates):,.0f} chars/s, worst {min(floor_rates):,.0f} chars/s; "
          f"marlet / floor {min(r / f for r, f in zip(rates, floor_rates)):.2f} to "
          f"{max(r / f for r, f in zip(rates, floor_rates)):.2f}")


def screenshots(env, daemon, runs):
    """Full-screen `screenshot` round trips (capture, encode, base64, the answer read and parsed)
    and, alternating with them on the same display, ImageMagick's `import -window root png:-`."""
    import json
    ours, theirs = [], []
    for _ in range(runs):
        started = time.perf_counter()
        answer = json.loads(daemon.ask("screenshot", timeout=60))
        ours.append(time.perf_counter() - started)
        assert answer["status"] == "ok" and answer["width"] == 1920, answer.get("message")
        started = time.perf_counter()
        subprocess.run(["import", "-window", "root", "png:-"], env=env, check=True, capture_output=True)
        theirs.append(time.perf_counter() - started)
    return ours, theirs


def pixel_round_trips(daemon, n):
    times = []
    for i in range(n):
        started = time.perf_counter()
        answer = daemon.ask(f"pixel {(i * 37) % 1920},{(i * 23) % 1080}")
        times.append(time.perf_counter() - started)
        assert answer.startswith('{"status":"ok","r":'), answer
    return times


def screenshot_memory(daemon, n):
    """Resident memory of the Wine process after the first tenth of `n` full-screen screenshots
    and after all of them, in KiB."""
    import json
    marks = []
    for i in range(1, n + 1):
        assert json.loads(daemon.ask("screenshot", timeout=60))["status"] == "ok"
        if i in (n // 10, n):
            marks.append(peak_memory_kb(daemon.proc.pid, "VmRSS"))
    return marks


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--round-trips", type=int, default=2000)
    parser.add_argument("--xdotool-round-trips", type=int, default=200)
    parser.add_argument("--chars", type=int, default=10_000)
    parser.add_argument("--screenshots", type=int, default=20)
    parser.add_argument("--memory-screenshots", type=int, default=1000)
    args = parser.parse_args()
    with wine_session() as env:
        banner = start_to_banner(env, 10)
        probe = Probe(env, "marlet bench target", rect=(0, 0, 640, 480))
        daemon = Daemon(env)
        daemon.err.next()
        assert daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'
        rt, late = round_trips(daemon, args.round_trips)
        logged = typing(env, daemon, probe, args.chars, 3)
        probe.send("quiet")
        quiet = typing(env, daemon, probe, args.chars, 3)
        peak = peak_memory_kb(daemon.proc.pid)
        probe.close()
        # The screen covered by a window painting fine detail everywhere: the hard case for a
        # compressor (a real desktop has far more flat area).
        painted = Probe(env, "marlet bench pattern", rect=(0, 0, 1920, 1080), pattern=True)
        assert daemon.ask(f"focus {painted.hwnd_text}") == '{"status":"ok"}'
        time.sleep(1)
        shots = screenshots(env, daemon, args.screenshots)
        pixels = pixel_round_trips(daemon, 500)
        memory = screenshot_memory(daemon, args.memory_screenshots)
        daemon.close()
        painted.close()
        xdo = xdotool_round_trips(env, args.xdotool_round_trips)

    print(f"start to banner        median {ms(statistics.median(banner))}, max {ms(max(banner))} (10 starts)")
    print(f"move + pos round trip  median {ms(statistics.median(rt))}, p99 {ms(percentile(rt, 99))} ({len(rt)} pairs, "
          f"{late} answered before Wine had applied the move)")
    if xdo:
        print(f"xdotool same           median {ms(statistics.median(xdo))}, p99 {ms(percentile(xdo, 99))} "
              f"({len(xdo)} pairs, two processes each)")
        print(f"marlet faster by       {statistics.median(xdo) / statistics.median(rt):.0f}x (median), "
              f"{percentile(xdo, 99) / percentile(rt, 99):.0f}x (p99)")
    else:
        print("xdotool                not installed (apt-get install xdotool)")
    print_typing("a window that logs every key", args.chars, *logged)
    print_typing("a window that only counts", args.chars, *quiet)
    print(f"peak memory            {peak / 1024:.1f} MiB (VmHWM of the Wine process running marlet.exe)")
    ours, theirs = shots
    print(f"full-screen screenshot median {ms(statistics.median(ours))}, max {ms(max(ours))} ({len(ours)} shots, "
          f"1920x1080 patterned, answer read and parsed)")
    print(f"import -window root    median {ms(statistics.median(theirs))}, max {ms(max(theirs))} (same display, "
          f"alternating)")
    print(f"marlet faster by       {statistics.median(theirs) / statistics.median(ours):.1f}x (median)")
    print(f"pixel round trip       median {ms(statistics.median(pixels))}, p99 {ms(percentile(pixels, 99))} "
          f"({len(pixels)} reads)")
    print(f"screenshot memory      {memory[0] / 1024:.1f} MiB after {args.memory_screenshots // 10} full-screen shots, "
          f"{memory[1] / 1024:.1f} MiB after {args.memory_screenshots} (VmRSS)")


if __name__ == "__main__":
    main()
