"""Input no client should send, and clients that misbehave: the daemon keeps answering, every
answer is one JSON object on one line, and it ends normally."""

import json
import subprocess
import threading
from pathlib import Path

import pytest

from daemon_process import close_stdout_while_writing, read_line, run_daemon, start_daemon

FAREWELL = b"marlet daemon shutting down.\n"
VERSION = [{"status": "ok"}, {"version": "1.0.0"}]


def run(marlet, data, timeout=120):
    proc = run_daemon([marlet], data, timeout)
    assert proc.returncode == 0, proc.stderr[-2000:]
    assert proc.stderr.endswith(FAREWELL)
    answers = []
    for line in proc.stdout.split(b"\n")[:-1]:
        answers.append(json.loads(line.decode("utf-8", errors="strict")))
    assert proc.stdout.endswith(b"\n") or proc.stdout == b""
    return answers


def test_a_line_of_100_megabytes(marlet):
    word = b"x" * (100 << 20)
    answers = run(marlet, word + b"\n# " + word + b"\nversion\n")
    assert len(answers) == 3  # the long word, then version; the long comment is silent
    assert answers[0]["message"] == "Unknown command: " + "x" * (100 << 20) + ". Type 'help' for usage."
    assert answers[1:] == VERSION


def test_a_line_of_100_megabytes_is_held_in_few_copies(marlet):
    if "asan" in marlet:
        pytest.skip("AddressSanitizer keeps freed blocks in quarantine; the plain build is measured")
    size = 100 << 20
    proc = start_daemon([marlet], stderr=subprocess.DEVNULL)
    writer = threading.Thread(target=lambda: (proc.stdin.write(b"x" * size + b"\n"), proc.stdin.flush()))
    writer.start()
    answer = read_line(proc.stdout, timeout=60)
    writer.join(60)
    status = Path(f"/proc/{proc.pid}/status").read_text()
    proc.stdin.close()
    assert proc.wait(60) == 0
    assert len(answer) > size
    peak = next(int(line.split()[1]) for line in status.splitlines() if line.startswith("VmHWM:")) << 10
    # The line as read and the word taken from it; the answer is escaped and written straight
    # from the word, not from a message joined in memory (that was 4.7 copies of the line).
    assert peak < 3 * size, f"peak {peak >> 20} MiB for a line of {size >> 20} MiB"


def test_nul_bytes(marlet):
    answers = run(marlet, b"\x00\x00\nty\x00pe a\nfind a\x00b\ntype a\x00b\nversion\n")
    assert answers[0] == {"status": "error", "message": "Unknown command: \x00\x00. Type 'help' for usage."}
    assert answers[1]["message"] == "Unknown command: ty\x00pe. Type 'help' for usage."
    assert answers[2] == {"status": "error", "message": "Window not found: a\x00b"}
    assert answers[3]["status"] == "ok"
    assert answers[4:] == VERSION


def test_invalid_utf8_comes_back_as_replacement_characters(marlet):
    answers = run(marlet, b"\xff\xfe\xc0\xaf caf\xe9\nfind \xed\xa0\x80\nversion\n")
    assert answers[0]["message"] == "Unknown command: \ufffd\ufffd\ufffd\ufffd. Type 'help' for usage."
    assert answers[1]["message"] == "Window not found: \ufffd\ufffd\ufffd"
    assert answers[2:] == VERSION


def test_lines_of_only_quotes_and_backslashes(marlet):
    lines = [b'""', b'"', b'\\', b'\\\\', b'\\"', b'"\\"', b'""\\""\\\\"', b'\\' * 1000 + b'"' * 1001]
    answers = run(marlet, b"\n".join(lines) + b"\nversion\n")
    # The first two lines hold no argument and get no answer; a quote after a backslash is
    # an ordinary byte, every other quote only groups.
    words = ["\\", "\\\\", '\\"', '\\"', '\\"\\\\"', "\\" * 1000 + '"']
    assert answers == [{"status": "error", "message": f"Unknown command: {w}. Type 'help' for usage."}
                       for w in words] + VERSION


def test_numbers_beyond_every_range(marlet):
    commands = [b"click 99999999999999999999,1", b"move 1,-99999999999", b"scroll 99999999999",
                b"wait 99999999999", b"wait 2147483648", b"focus 0x1ffffffffffffffffff",
                b"focus 99999999999999999999999", b"click -2147483649,0"]
    answers = run(marlet, b"\n".join(commands) + b"\nversion\n")
    expected = ["stoi argument out of range"] * 5 + ["stoull argument out of range"] * 2 + ["stoi argument out of range"]
    assert [a["message"] for a in answers[:-2]] == ["Exception: " + e for e in expected]
    assert answers[-2:] == VERSION


def test_negative_and_huge_waits_are_refused_without_sleeping(marlet):
    answers = run(marlet, b"wait -1\nwait -2147483648\nwait 4294967295\nversion\n", timeout=10)
    assert [a["status"] for a in answers[:3]] == ["error"] * 3
    assert answers[0]["message"] == answers[1]["message"] == "Invalid wait: N must not be negative"
    assert answers[2]["message"] == "Exception: stoi argument out of range"
    assert answers[3:] == VERSION


def test_input_that_ends_in_the_middle_of_a_line(marlet):
    assert run(marlet, b"version\nwai") == VERSION + [
        {"status": "error", "message": "Unknown command: wai. Type 'help' for usage."}]
    assert run(marlet, b"version\r\nmove 5,5") == VERSION + [{"status": "ok", "data": 1}]
    assert run(marlet, b"ver") == [{"status": "error", "message": "Unknown command: ver. Type 'help' for usage."}]


def test_client_that_closes_standard_output_while_the_daemon_writes(marlet):
    # The daemon's writes then fail with EPIPE, and no SIGPIPE may kill it.
    status, err = close_stdout_while_writing([marlet], rounds=200)
    assert status == 0
    assert err.endswith(FAREWELL)
