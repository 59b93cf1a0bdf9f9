"""The client installs with pip as a package of its own, and works from there."""

import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def test_pip_installs_the_package_and_it_drives_the_daemon(tmp_path, host_marlet):
    venv = tmp_path / "venv"
    # Offline: the system's pip, setuptools and wheel build it; nothing is fetched.
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip", str(venv)], check=True)
    python = venv / "bin" / "python"
    # Built from a copy: a build writes its scratch files beside the sources.
    source = tmp_path / "source"
    shutil.copytree(ROOT / "clients" / "python", source, ignore=shutil.ignore_patterns("build", "*.egg-info"))
    subprocess.run([str(python), "-m", "pip", "install", "-q", "--no-index", "--no-build-isolation", str(source)],
                   check=True, cwd=tmp_path)
    check = ("import marlet, pathlib, sys; "
             "assert pathlib.Path(marlet.__file__).parent.joinpath('py.typed').exists(); "
             "assert 'site-packages' in marlet.__file__, marlet.__file__; "
             f"m = marlet.Marlet({host_marlet!r}); print(m.version(), m.position()); m.close()")
    out = subprocess.run([str(python), "-c", check], check=True, capture_output=True, text=True, cwd=tmp_path,
                         timeout=60).stdout
    assert out == "1.0.0 Point(x=0, y=0)\n"
