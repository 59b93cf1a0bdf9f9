"""Starting marlet and talking to it the way a client does: shared by the process tests (the
host build) and the end-to-end tests (the Windows build under Wine), and the simulated desktop's
wallpaper, which every picture the host build takes shows."""

import queue
import subprocess
import threading


def start_daemon(argv, env=None, stderr=subprocess.PIPE):
    """marlet started as a client starts it: standard input, output and error on pipes (standard
    error as `stderr` says)."""
    return subprocess.Popen(argv, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr)


def run_daemon(argv, data, timeout, env=None):
    """marlet run on `data` as its whole input to its end: the completed process, with its
    standard output and error as bytes."""
    return subprocess.run(argv, env=env, input=data, capture_output=True, timeout=timeout)


def read_line(stream, timeout):
    """The next line of a binary stream, read on a thread of its own so that the wait has a
    bound; fails when none comes within `timeout` seconds."""
    got = queue.Queue()
    threading.Thread(target=lambda: got.put(stream.readline()), daemon=True).start()
    try:
        return got.get(timeout=timeout)
    except queue.Empty:
        raise AssertionError(f"no line within {timeout} s") from None


def close_stdout_while_writing(argv, env=None, rounds=100, timeout=60):
    """Starts the daemon, keeps feeding it commands, reads the start of its first answer and then
    closes its standard output, so that every later write of the daemon fails. Returns the exit
    status and all of standard error once the input has ended."""
    proc = start_daemon(argv, env)

    def feed():
        try:
            for _ in range(rounds):
                proc.stdin.write(b"version\npos\nHELLO\n" * 50)
                proc.stdin.flush()
            proc.stdin.close()
        except BrokenPipeError:
            pass

    writer = threading.Thread(target=feed)
    writer.start()
    first = proc.stdout.read(10)
    proc.stdout.close()
    err = proc.stderr.read()
    writer.join()
    assert first == b'{"status":', first
    return proc.wait(timeout), err


def wallpaper(x, y):
    """The simulated screen's colour at a pixel where nothing was painted, (red, green, blue), as
    the simulated desktop defines it."""
    return ((3 * x + y) & 0xFF, (x ^ (5 * y)) & 0xFF, (x + 7 * y) & 0xFF)
