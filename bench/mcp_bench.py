#!/usr/bin/env python3
"""The MCP server's cost: a tools/call of cursor_position through marlet-mcp beside the daemon's own
`pos` round trip (host build, both over real pipes, the answer read and parsed), and under Wine an
agent-sized screenshot (the full screen fitted to 1366x768) beside a full-size one."""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

from wine_timing import pattern_covered, timed, wine_daemon

ROOT = Path(__file__).resolve().parents[1]


def median_ms(times):
    return statistics.median(times) * 1000


def host(runs):
    daemon = subprocess.Popen([str(ROOT / "build" / "host" / "marlet")], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL)
    pos = []
    for _ in range(runs):
        started = time.perf_counter()
        daemon.stdin.write(b"pos\n")
        daemon.stdin.flush()
        json.loads(daemon.stdout.readline())
        pos.append(time.perf_counter() - started)
    daemon.stdin.close()
    daemon.wait()
    env = dict(os.environ, PYTHONPATH=str(ROOT / "clients" / "python"))
    server = subprocess.Popen([sys.executable, "-m", "marlet.mcp", "--exe", str(ROOT / "build" / "host" / "marlet")],
                              env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def rpc(id_, method, params):
        server.stdin.write(json.dumps({"jsonrpc": "2.0", "id": id_, "method": method, "params": params}).encode()
                           + b"\n")
        server.stdin.flush()
        return json.loads(server.stdout.readline())

    rpc(0, "initialize", {"protocolVersion": "2025-11-25", "capabilities": {},
                          "clientInfo": {"name": "bench", "version": "1"}})
    call = {"name": "computer", "arguments": {"action": "cursor_position"}}
    rpc(1, "tools/call", call)  # the daemon starts here
    mcp = []
    for i in range(runs):
        started = time.perf_counter()
        answer = rpc(i + 2, "tools/call", call)
        mcp.append(time.perf_counter() - started)
        assert answer["result"]["isError"] is False, answer
    server.stdin.close()
    server.wait()
    print(f"host daemon `pos` round trip            median {median_ms(pos):.3f} ms")
    print(f"MCP tools/call cursor_position          median {median_ms(mcp):.3f} ms "
          f"(+{median_ms(mcp) - median_ms(pos):.3f} ms)")


def wine(runs):
    with wine_daemon() as (env, daemon):
        with pattern_covered(env, daemon):
            figures = {}
            for line in ("screenshot", "screenshot 1366x768", "screenshot 1568x1568"):
                times, answer = timed(daemon, line, runs)
                figures[line] = (median_ms(times), len(answer["png"]))
        for line, (ms, size) in figures.items():
            print(f"Wine `{line}`{' ' * (24 - len(line))} median {ms:7.2f} ms, {size / 1e6:.2f} MB of base64")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=2000)
    parser.add_argument("--wine-runs", type=int, default=20)
    args = parser.parse_args()
    host(args.runs)
    wine(args.wine_runs)


if __name__ == "__main__":
    main()
