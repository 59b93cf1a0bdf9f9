"""A client that sends one line and waits for its answer before the next: every answer must
reach it at once, while the daemon's input is still open."""

import json
import subprocess

from daemon_process import read_line, start_daemon

# Each command line and the number of answer lines it gets: every kind of answer the daemon
# writes (envelope, direct lines, errors, the unknown-word message written in pieces).
LINES = [("version", 2), ("pos", 1), ("move 5,5", 1), ("screen", 1), ("click 1,1", 1), ("scroll 120", 1),
         ("type a", 1), ("press ctrl+c", 1), ("find nothing here", 1), ("focus 0", 1), ("wait 0", 1),
         ("help", 1), ("nope", 1), ("wait x", 1), ("press foo", 1)]


def test_every_answer_arrives_before_the_next_line_is_sent(marlet):
    proc = start_daemon([marlet], stderr=subprocess.DEVNULL)
    try:
        for line, count in LINES:
            proc.stdin.write(line.encode() + b"\n")
            proc.stdin.flush()
            for _ in range(count):
                answer = read_line(proc.stdout, timeout=10)
                assert answer.endswith(b"\n"), (line, answer)
                json.loads(answer.decode("utf-8", errors="strict"))
    finally:
        proc.stdin.close()
        assert proc.wait(30) == 0
    assert proc.stdout.read() == b""  # nothing more than the answers counted
