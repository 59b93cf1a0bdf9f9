"""The host build of marlet as a process, on real pipes, against the simulated desktop."""

import signal
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

ROOT = Path(__file__).resolve().parents[2]
TEST_DEADLINE = 300  # seconds
BINARIES = {
    "host": ROOT / "build" / "host" / "marlet",
    "host-asan": ROOT / "build" / "host-asan" / "marlet",
}


@pytest.fixture(params=[name for name, path in BINARIES.items() if path.exists()] or ["host"])
def marlet(request):
    path = BINARIES[request.param]
    if not path.exists():
        pytest.fail(f"{path} is missing: build the host preset first")
    return str(path)


@pytest.fixture(autouse=True)
def sanitizer_options(monkeypatch):
    # Any sanitizer report is a failure of the process, not a warning on its standard error.
    monkeypatch.setenv("ASAN_OPTIONS", "abort_on_error=0:exitcode=99:detect_leaks=1")
    monkeypatch.setenv("UBSAN_OPTIONS", "halt_on_error=1:exitcode=98:print_stacktrace=1")


@pytest.fixture(autouse=True)
def deadline():
    """A process test fails, never hangs: past its deadline it is interrupted with an error."""
    def expired(signum, frame):
        raise TimeoutError(f"the test ran past {TEST_DEADLINE} s")

    previous = signal.signal(signal.SIGALRM, expired)
    signal.alarm(TEST_DEADLINE)
    yield
    signal.alarm(0)
    signal.signal(signal.SIGALRM, previous)
