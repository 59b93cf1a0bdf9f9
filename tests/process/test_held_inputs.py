"""Keys and buttons a client holds are let go when it can no longer act: at the end of its input,
and as soon as it stops reading the answers."""

from daemon_process import read_line, start_daemon


def start(marlet):
    return start_daemon([marlet])


def test_end_of_input_releases_what_is_held_and_says_so(marlet):
    proc = start(marlet)
    out, err = proc.communicate(b"down ctrl+alt\nmousedown 5,5 right\nup alt\n", timeout=60)
    assert proc.returncode == 0
    assert out.count(b"\n") == 3
    assert err.endswith(b"Released on exit: ctrl, right button\nmarlet daemon shutting down.\n"), err


def test_a_client_that_stops_reading_has_its_keys_released_at_once(marlet):
    proc = start(marlet)
    proc.stdin.write(b"down shift\n")
    proc.stdin.flush()
    assert read_line(proc.stdout, timeout=10) == b'{"status":"ok","data":1}\n'
    proc.stdout.close()
    # Answers now fail to go out; the first failure releases Shift.
    proc.stdin.write(b"pos\n" * 2000)
    proc.stdin.close()
    err = proc.stderr.read()
    assert proc.wait(60) == 0
    assert b"Standard output is closed; released: shift\n" in err
    assert b"Released on exit" not in err  # released once, not twice
