"""The README's first script, as written there, against Wine's own Notepad: the file Notepad saves
holds exactly the text the script typed."""

import ast
import re
import shutil
import subprocess
import sys
import time

import pytest

from conftest import MARLET_EXE, ROOT

sys.path.insert(0, str(ROOT / "clients" / "python"))


def readme_first_script():
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    quick_start = text[text.index("## Quick start"):]
    return re.search(r"```python\n(.*?)```", quick_start, re.S).group(1)


def typed_text(script):
    """The text the script types, as it wrote it."""
    return ast.literal_eval(re.search(r"m\.type\((.*)\)\n", script).group(1))


@pytest.fixture
def notepad(wine_env):
    proc = subprocess.Popen([shutil.which("wine"), "notepad"], env=wine_env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    yield proc
    proc.kill()
    proc.wait()


def test_the_readme_script_types_into_notepad_exactly(wine_env, notepad, tmp_path, monkeypatch):
    from marlet import Marlet
    for name, value in wine_env.items():
        monkeypatch.setenv(name, value)
    monkeypatch.setenv("MARLET_EXE", str(MARLET_EXE))
    script = readme_first_script()
    with Marlet() as m:  # Notepad's first start in a Wine prefix takes a while
        m.wait_window("Notepad", timeout=30.0)
    exec(compile(script, "README.md", "exec"), {})

    target = tmp_path / "saved by notepad.txt"
    with Marlet() as m:
        m.wait_window("Save As", timeout=10.0)
        m.type("Z:" + str(target).replace("/", "\\"))
        m.press("enter")
        m.wait_window(f"{target.name} - Notepad", timeout=10.0)
    deadline = time.monotonic() + 10
    while not target.exists() and time.monotonic() < deadline:
        time.sleep(0.1)
    # Notepad saves in the ANSI code page (1252 here) with CR LF line ends.
    expected = typed_text(script).replace("\n", "\r\n").encode("cp1252")
    assert target.read_bytes() == expected
    assert '"' in typed_text(script) and "\n" in typed_text(script) and "\u00e9" in typed_text(script)
