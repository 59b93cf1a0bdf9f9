"""Client behaviours shared by the host-process and Wine test suites."""

import queue
import subprocess
import threading


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
    proc = subprocess.Popen(argv, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)

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
