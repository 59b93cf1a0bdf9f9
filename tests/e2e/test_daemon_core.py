"""The daemon core as a client sees it: pipes, banner, help, answers, shutdown."""

import json
import shutil
import time

from conftest import MARLET_EXE
from daemon_process import close_stdout_while_writing

HELP_LINES = 23
FAREWELL = b"marlet daemon shutting down.\r\n"


def test_help_goes_to_standard_error_and_ok_to_standard_output(daemon):
    assert daemon.ask("help") == '{"status":"ok"}'
    help_lines = [daemon.err.next() for _ in range(HELP_LINES)]
    assert help_lines[0] == b"marlet - Windows GUI automation daemon\r\n"
    assert help_lines[3] == b"  rclick X,Y                     - Right-click at coordinates  \r\n"
    assert help_lines[16] == b"\r\n"
    # 1287 bytes, and the text mode adds a carriage return before each of the 23 line feeds.
    assert sum(len(l) for l in help_lines) == 1287 + HELP_LINES
    assert daemon.ask("HELP") == '{"status":"ok"}'


def test_version_answers_two_lines(daemon):
    daemon.send("version")
    assert daemon.raw_line() == b'{"status":"ok"}\r\n'
    assert daemon.raw_line() == b'{"version":"1.0.0"}\r\n'


def test_errors_are_answered_and_the_loop_goes_on(daemon):
    assert daemon.ask("HELLO") == '{"status":"error","message":"Unknown command: hello. Type \'help\' for usage."}'
    assert daemon.ask("wait abc") == '{"status":"error","message":"Exception: invalid stoi argument"}'
    assert daemon.ask("wait") == '{"status":"error","message":"Usage: wait N"}'
    assert json.loads(daemon.ask("wait -1"))["status"] == "error"
    assert daemon.ask("wait 0") == '{"status":"ok"}'


def test_client_text_in_a_message_decodes_to_the_bytes_sent(daemon):
    for word, shown in [("C:\\Users\\x", "c:\\users\\x"), ("a\tb", "a\tb"), ("caf\u00e9", "caf\u00e9"),
                        ('x\\"y', 'x\\"y')]:
        answer = json.loads(daemon.ask(word))
        assert answer == {"status": "error", "message": f"Unknown command: {shown}. Type 'help' for usage."}
    # A byte that is not UTF-8 comes back as the replacement character.
    assert json.loads(daemon.ask(b"caf\xe9"))["message"].startswith("Unknown command: caf\ufffd.")


def test_wait_blocks_the_loop_for_its_milliseconds(daemon):
    started = time.monotonic()
    assert daemon.ask("wait 300") == '{"status":"ok"}'
    assert time.monotonic() - started >= 0.3


def test_silent_lines_get_no_answer(daemon):
    for line in ["", "   ", "# comment", "\t# comment", '""']:
        daemon.send(line)
    assert daemon.ask("version") == '{"status":"ok"}'
    assert daemon.line() == '{"version":"1.0.0"}'


def test_quit_answers_stops_reading_and_exits_zero(start_daemon):
    for word in ["quit", "exit", "shutdown"]:
        daemon = start_daemon()
        daemon.send(word + "\nversion")
        assert daemon.line() == '{"status":"ok"}'
        assert daemon.proc.wait(10) == 0
        assert daemon.err.next() == FAREWELL
        assert daemon.out.raw == b'{"status":"ok"}\r\n'


def test_end_of_input_ends_the_daemon_with_status_zero(start_daemon):
    daemon = start_daemon()
    daemon.proc.stdin.write(b"version\r\nwait 1")  # a CR LF line, and a last line without a line feed
    assert daemon.close() == 0
    assert daemon.out.raw == b'{"status":"ok"}\r\n{"version":"1.0.0"}\r\n{"status":"ok"}\r\n'
    assert daemon.err.raw == b"marlet daemon ready. Type 'help' for commands.\r\n" + FAREWELL


def test_probe_check_the_probe_shows_its_window_and_logs_its_size_changes(start_probe):
    # A check of the test harness itself (no daemon): the probe the other cases rely on works.
    probe = start_probe("marlet probe core")
    assert probe.hwnd > 0
    probe.send("minimize")
    probe.wait_for(lambda l: l == "size minimized")
    probe.send("restore")
    probe.wait_for(lambda l: l == "size restored")



def test_client_that_closes_standard_output_does_not_kill_the_daemon(wine_env):
    status, err = close_stdout_while_writing([shutil.which("wine"), str(MARLET_EXE)], env=wine_env, timeout=30)
    assert status == 0
    assert err.endswith(FAREWELL)


def test_a_ctrl_z_byte_is_an_ordinary_byte_of_the_line(daemon):
    # The C runtime's text mode would end the input at 0x1A; every byte must reach the tokenizer.
    assert json.loads(daemon.ask(b"find a\x1ab")) == {"status": "error", "message": "Window not found: a\x1ab"}
    assert json.loads(daemon.ask(b"\x1a")) == {"status": "error",
                                               "message": "Unknown command: \x1a. Type 'help' for usage."}
    assert daemon.ask("version") == '{"status":"ok"}'
    assert daemon.line() == '{"version":"1.0.0"}'
