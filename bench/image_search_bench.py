#!/usr/bin/env python3
"""marlet's picture search beside OpenCV's matchTemplate (TM_SQDIFF, with minMaxLoc to find the best
place) on the same 1920 x 1080 screens and 50 x 50 templates, single thread. The screens and
templates follow the formulas of bench/image_search_bench.cpp, computed again here with numpy."""

import argparse
import json
import statistics
import subprocess
import sys
import time
from pathlib import Path

import cv2
import numpy as np

ROOT = Path(__file__).resolve().parents[1]
W, H, T = 1920, 1080, 50


def rgb_to_bgr(values):
    values = values.astype(np.uint32)
    return np.stack([values & 0xFF, (values >> 8) & 0xFF, (values >> 16) & 0xFF], axis=-1).astype(np.uint8)


def grid(w, h):
    y, x = np.mgrid[0:h, 0:w].astype(np.uint64)
    return x, y


def busy(w, h):
    x, y = grid(w, h)
    return (((x * 3 + y) & 0xFF) << 16) | (((x ^ (y * 5)) & 0xFF) << 8) | ((x + y * 7) & 0xFF)


def pattern():
    x, y = grid(T, T)
    return (((x * 5 + y * 3) & 0xFF) << 16) | (((x * 7 + 40) & 0xFF) << 8) | ((y * 11 + 90) & 0xFF)


def specks(w, h, a, b):
    x, y = grid(w, h)
    speck = ((((x * a) & 0xFFFFFFFF) ^ ((y * b) & 0xFFFFFFFF)) >> 3) % 1024 < 205
    return np.where(speck, 0, 0xFFFFFF)


def screens():
    flat = np.full((H, W), 0x808080, dtype=np.uint64)
    with_template = busy(W, H)
    with_template[H - T:, W - T:] = pattern()
    return {
        "FlatAbsent": (flat, pattern()),
        "BusyAbsent": (busy(W, H), pattern()),
        "BusyBottomRight": (with_template, pattern()),
        "TextAbsent": (specks(W, H, 73856093, 19349663), specks(T, T, 83492791, 2654435761)),
    }


def opencv_ms(screen, template, runs):
    cv2.setNumThreads(1)
    image, templ = rgb_to_bgr(screen), rgb_to_bgr(template)
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        result = cv2.matchTemplate(image, templ, cv2.TM_SQDIFF)
        cv2.minMaxLoc(result)
        times.append(time.perf_counter() - started)
    return statistics.median(times) * 1000


def marlet_ms():
    bench = ROOT / "build" / "host" / "bench" / "marlet_image_bench"
    out = subprocess.run([str(bench), "--benchmark_format=json", "--benchmark_min_time=0.5"], check=True,
                         capture_output=True, text=True).stdout
    return {b["name"].removeprefix("BM_"): b["real_time"] for b in json.loads(out)["benchmarks"]}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=5, help="OpenCV runs per screen (the median is shown)")
    args = parser.parse_args()
    ours = marlet_ms()
    print(f"{'screen, 50x50 template':28} {'marlet exact':>13} {'tolerance 8':>12} {'OpenCV':>10} {'OpenCV/marlet':>14}")
    for name, (screen, template) in screens().items():
        exact = ours[f"{name}Exact"]
        tolerant = ours.get(f"{name}Tolerance8")
        theirs = opencv_ms(screen, template, args.runs)
        tolerant_text = f"{tolerant:9.2f} ms" if tolerant is not None else " " * 12
        print(f"{name:28} {exact:10.2f} ms {tolerant_text} {theirs:7.1f} ms {theirs / exact:13.0f}x")
    print(f"{'one read of the screen':28} {ours['ReadTheScreenOnce']:10.2f} ms")
    sys.stdout.flush()


if __name__ == "__main__":
    main()
