"""Control commands under Wine, against a dialog of standard controls that logs what it hears."""

import json
import re
import shutil
import subprocess
import sys
import time

import pytest

from conftest import DIALOG_EXE, MARLET_EXE, ROOT, Probe

sys.path.insert(0, str(ROOT / "clients" / "python"))


SHARES_DAEMON = True  # no case here ends the daemon


@pytest.fixture(scope="module")
def dialog(wine_env):
    d = Probe(wine_env, "marlet dialog", exe=DIALOG_EXE)
    yield d
    d.close()


def ask(daemon, line):
    return json.loads(daemon.ask(line))


def requested(dialog, request, prefix):
    """What the dialog itself says on a request ("text 1001" -> its "text 1001 ..." line)."""
    start = dialog.mark()
    dialog.send(request)
    return dialog.wait_for(lambda l: l.startswith(prefix), start=start)[len(prefix):]


def test_controls_lists_every_control_with_its_facts(daemon, dialog):
    answer = ask(daemon, f"controls {dialog.hwnd_text}")
    assert answer["status"] == "ok"
    controls = {c["classnn"]: c for c in answer["controls"]}
    assert [c["classnn"] for c in answer["controls"][:4]] == ["Button1", "Edit1", "Edit2", "Button2"]
    ok = controls["Button1"]
    assert (ok["id"], ok["class"], ok["text"], ok["parent"], ok["visible"], ok["enabled"]) == \
        (1, "Button", "&OK", dialog.hwnd_text, True, True)
    assert ok["right"] - ok["left"] == 80 and ok["bottom"] - ok["top"] == 24
    assert controls["Edit2"]["password"] is True and "text" not in controls["Edit2"]
    assert controls["Button5"]["text"] == "Off" and controls["Button5"]["enabled"] is False
    assert controls["SysListView321"]["id"] == 1009
    # A label's text as the window holds it, also once it is changed.
    label = next(c for c in answer["controls"] if c["id"] == 1008)
    assert (label["class"], label["text"]) == ("Static", "Name:")
    try:
        assert ask(daemon, f'setcontroltext {label["hwnd"]} "Full name:"') == {"status": "ok"}
        relisted = ask(daemon, f"controls {dialog.hwnd_text}")["controls"]
        assert next(c for c in relisted if c["id"] == 1008)["text"] == "Full name:"
    finally:
        ask(daemon, f'setcontroltext {label["hwnd"]} "Name:"')
    # The list view's own header is listed too, as its child.
    header = next(c for c in answer["controls"] if c["class"] == "SysHeader32")
    assert header["parent"] == controls["SysListView321"]["hwnd"]


def test_a_large_dialog_is_listed_whole_and_in_order(wine_env, daemon):
    """Its controls are read by several threads at once: each keeps its own place and facts."""
    many = Probe(wine_env, "many", exe=DIALOG_EXE)  # the title also asks for 50 more controls
    try:
        for _ in range(3):
            answer = ask(daemon, f"controls {many.hwnd_text}")
            assert answer["status"] == "ok", answer
            fields = answer["controls"][-50:]
            assert [c["id"] for c in fields] == list(range(2000, 2050))
            for i, c in enumerate(fields):
                kind = "Edit" if i % 2 == 0 else "Static"
                assert (c["class"], c["classnn"], c["text"], c["parent"]) == \
                    (kind, f"{kind}{i // 2 + (3 if kind == 'Edit' else 2)}", f"field {i}", many.hwnd_text), c
            assert len({c["hwnd"] for c in answer["controls"]}) == len(answer["controls"]) == 62
    finally:
        many.close()


def test_text_is_read_and_set_and_the_program_sees_it(daemon, dialog):
    w = dialog.hwnd_text
    assert ask(daemon, f"controltext {w}/#1008") == {"status": "ok", "text": "Name:"}
    assert ask(daemon, f'setcontroltext {w}/Edit1 "Ann \\"A\\" \\u00e9 \\u65e5"') == {"status": "ok"}
    assert ask(daemon, f"controltext {w}/Edit1") == {"status": "ok", "text": 'Ann "A" \u00e9 \u65e5'}
    assert requested(dialog, "text 1001", "text 1001 ") == 'Ann "A" \u00e9 \u65e5'
    long_text = "x" * 70000
    assert ask(daemon, f'setcontroltext {w}/Edit1 "{long_text}"') == {"status": "ok"}
    assert ask(daemon, f"controltext {w}/Edit1")["text"] == long_text
    assert ask(daemon, f"controltext {w}/Edit2") == {"status": "error", "message": "Cannot read a password field"}
    assert ask(daemon, f'setcontroltext {w}/Edit2 "hunter2"') == {"status": "ok"}
    assert requested(dialog, "text 1002", "text 1002 ") == "hunter2"
    assert ask(daemon, f"controltext {w}/Edit9") == {"status": "error", "message": f"Control not found: {w}/Edit9"}


def test_click_presses_the_button_as_its_shortcut_would_and_a_disabled_one_is_refused(daemon, dialog):
    w = dialog.hwnd_text
    start = dialog.mark()
    assert ask(daemon, f"controlclick {w}/Button1") == {"status": "ok"}
    dialog.wait_for(lambda l: l == "command 1 0", start=start)  # BN_CLICKED from IDOK
    off = ask(daemon, f"controlclick {w}/#1010")
    assert off["status"] == "error" and off["message"].endswith(" is disabled")


def test_check_and_uncheck_reach_the_state_and_the_program_hears_of_it(daemon, dialog):
    w = dialog.hwnd_text
    start = dialog.mark()
    assert ask(daemon, f"check {w}/#1003") == {"status": "ok"}
    dialog.wait_for(lambda l: l == "command 1003 0", start=start)
    assert requested(dialog, "checked 1003", "checked 1003 ") == "1"
    start = dialog.mark()
    assert ask(daemon, f"check {w}/#1003") == {"status": "ok"}  # already checked: nothing sent
    assert ask(daemon, f"uncheck {w}/#1003") == {"status": "ok"}
    assert requested(dialog, "checked 1003", "checked 1003 ") == "0"
    assert [l for l in dialog.log[start:] if l.startswith("command 1003")] == ["command 1003 0"]
    assert ask(daemon, f"check {w}/#1005") == {"status": "ok"}
    assert requested(dialog, "checked 1005", "checked 1005 ") == "1"
    assert ask(daemon, f"check {w}/#1004") == {"status": "ok"}
    assert requested(dialog, "checked 1005", "checked 1005 ") == "0"  # its pair went off


def test_choose_selects_and_notifies_and_items_read_back(daemon, dialog):
    w = dialog.hwnd_text
    start = dialog.mark()
    assert ask(daemon, f'choose {w}/ComboBox1 "banana"') == {"status": "ok", "index": 2}
    dialog.wait_for(lambda l: l == "command 1006 1", start=start)  # CBN_SELCHANGE
    assert "command 1006 9" in dialog.log[start:]  # CBN_SELENDOK, before it
    assert requested(dialog, "selected 1006", "selected 1006 ") == "2"
    assert ask(daemon, f"items {w}/ComboBox1") == {
        "status": "ok", "items": ["Apple", "apricot", "Banana", "Cherry \u00e9"], "selected": 2}
    assert ask(daemon, f'choose {w}/ComboBox1 "APR"') == {"status": "ok", "index": 1}
    assert ask(daemon, f"choose {w}/ListBox1 #2") == {"status": "ok", "index": 2}
    assert requested(dialog, "selected 1007", "selected 1007 ") == "2"
    assert ask(daemon, f"items {w}/ListBox1") == {"status": "ok", "items": ["one", "two", "three"], "selected": 2}
    assert ask(daemon, f'choose {w}/ComboBox1 "kiwi"') == {"status": "error", "message": "No entry: kiwi"}
    assert ask(daemon, f"choose {w}/ListBox1 #3") == {"status": "error", "message": "No entry #3"}


def test_items_of_a_list_view_are_its_rows(daemon, dialog):
    assert ask(daemon, f"items {dialog.hwnd_text}/SysListView321") == {
        "status": "ok", "items": [["a.txt", "12 KB"], ['b "q".txt', "3 KB"], ["\u65e5\u672c.txt", "1 KB"]],
        "selected": 1}


def readme_dialog_script():
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    section = text[text.index("### Controls inside a window"):]
    return re.search(r"```python\n(.*?)```", section, re.S).group(1)


def test_the_readme_script_fills_the_dialog_and_presses_ok_without_the_pointer(wine_env, dialog, monkeypatch):
    from marlet import Marlet
    for name, value in wine_env.items():
        monkeypatch.setenv(name, value)
    monkeypatch.setenv("MARLET_EXE", str(MARLET_EXE))
    with Marlet() as m:
        m.uncheck(f"{dialog.hwnd_text}/#1003")
        m.move(1500, 900)
    start = dialog.mark()
    exec(compile(readme_dialog_script(), "README.md", "exec"), {})
    dialog.wait_for(lambda l: l == "command 1 0", start=start)  # OK, pressed last
    assert requested(dialog, "text 1001", "text 1001 ") == "build-07.example.com"
    assert requested(dialog, "text 1002", "text 1002 ") == "hunter2"
    assert requested(dialog, "checked 1003", "checked 1003 ") == "1"
    assert requested(dialog, "selected 1006", "selected 1006 ") == "2"
    with Marlet() as m:
        assert m.position() == (1500, 900)


def test_notepads_text_is_set_through_its_edit_control_and_saved(wine_env, daemon, tmp_path):
    notepad = subprocess.Popen([shutil.which("wine"), "notepad"], env=wine_env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        window = ask(daemon, "waitwindow 30000 Notepad")["hwnd"]
        edits = [c for c in ask(daemon, f"controls {window}")["controls"] if c["class"] == "Edit"]
        assert edits, "Notepad has an edit control"
        text = 'Set through its control: caf\u00e9 "quoted"\r\nsecond line'
        assert ask(daemon, f"setcontroltext {edits[0]['hwnd']} {json.dumps(text)}") == {"status": "ok"}
        assert ask(daemon, f"controltext {window}/Edit1") == {"status": "ok", "text": text}
        target = tmp_path / "set through the control.txt"
        assert ask(daemon, f"focus {window}") == {"status": "ok"}
        assert ask(daemon, "press ctrl+s")["status"] == "ok"
        assert ask(daemon, "waitwindow 10000 Save As")["status"] == "ok"
        assert ask(daemon, "typejson " + json.dumps("Z:" + str(target).replace("/", "\\")))["status"] == "ok"
        assert ask(daemon, "press enter")["status"] == "ok"
        deadline = time.monotonic() + 10
        while not target.exists() and time.monotonic() < deadline:
            time.sleep(0.1)
        deadline = time.monotonic() + 10
        while target.exists() and target.read_bytes() != text.encode("cp1252") and time.monotonic() < deadline:
            time.sleep(0.1)
        assert target.read_bytes() == text.encode("cp1252")
    finally:
        notepad.kill()
        notepad.wait()


def test_a_hung_dialog_makes_every_command_answer_within_its_limit(daemon, dialog):
    w = dialog.hwnd_text
    start = dialog.mark()
    dialog.send("hang 30000")
    dialog.wait_for(lambda l: l == "hanging", start=start)
    try:
        for line in [f"controls {w}", f"controltext {w}/Edit1", f'setcontroltext {w}/Edit1 "x"',
                     f"controlclick {w}/Button1", f"check {w}/#1003", f"choose {w}/ComboBox1 #0",
                     f"items {w}/SysListView321"]:
            started = time.monotonic()
            answer = ask(daemon, line)
            assert answer["status"] == "error" and answer["message"].startswith("Timed out after 2000 ms waiting for 0x"), (line, answer)
            assert answer["message"].endswith(" to answer"), (line, answer)
            assert time.monotonic() - started < 10, line
    finally:
        pass
