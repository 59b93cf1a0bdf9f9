"""The Python client against the host build of marlet (the simulated desktop), on real pipes."""

import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "clients" / "python"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(ROOT / "tests"))

HOST_MARLET = ROOT / "build" / "host" / "marlet"


@pytest.fixture
def host_marlet():
    if not HOST_MARLET.exists():
        pytest.fail(f"{HOST_MARLET} is missing: build the host preset first")
    return str(HOST_MARLET)
