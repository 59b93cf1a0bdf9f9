"""Pictures on the screen under Wine: a template cut from marlet's own screenshot of the probe's
pattern is found where it was cut and follows the window; the waits answer once the window shows
what they wait for (its picture, a colour, no more repainting) and not before."""

import base64
import json
import re
import threading
import time

import sys

import pytest

from conftest import DEADLINE, MARLET_EXE, ROOT, Probe

sys.path.insert(0, str(ROOT / "clients" / "python"))

SHARES_DAEMON = True  # no case here ends the daemon

LEFT, TOP, W, H = 300, 200, 400, 300
CUT = (LEFT + 60, TOP + 40, 40, 30)  # a piece of the pattern, screen pixels


def ok(answer):
    value = json.loads(answer)
    assert value["status"] == "ok", value
    return value


def no_answer_within(daemon, seconds):
    """Nothing arrives on the daemon's output for `seconds`: the wait is still waiting."""
    with pytest.raises(AssertionError, match="no line"):
        daemon.line(timeout=seconds)


@pytest.fixture(scope="module")
def window(wine_env, shared_daemon):
    probe = Probe(wine_env, "marlet picture probe", (LEFT, TOP, W, H), pattern=True)
    ok(shared_daemon.ask(f"focus {probe.hwnd_text}"))
    yield probe
    probe.close()


@pytest.fixture(scope="module")
def cut(window, shared_daemon):
    """The PNG of CUT, from marlet's screenshot once the pattern is painted (two screenshots alike)."""
    x, y, w, h = CUT
    deadline = time.monotonic() + DEADLINE
    last = None
    while True:
        png = ok(shared_daemon.ask(f"screenshot {x},{y},{w},{h}"))["png"]
        if png == last:
            return base64.b64decode(png)
        assert time.monotonic() < deadline, "the pattern never settled"
        last = png
        time.sleep(0.2)


def show(window, daemon, command, logged):
    start = window.mark()
    window.send(command)
    window.wait_for(lambda l: l == logged, start=start)


def test_a_cut_of_the_screenshot_is_found_where_it_was_cut_and_follows_the_window(
        window, cut, shared_daemon, tmp_path):
    x, y, w, h = CUT
    where = {"status": "ok", "left": x, "top": y, "right": x + w, "bottom": y + h}
    assert json.loads(shared_daemon.ask("findimage base64:" + base64.b64encode(cut).decode())) == where
    # By path (Wine's Z: drive is the root), with a space in it, in a region, with a tolerance.
    path = tmp_path / "a cut.png"
    path.write_bytes(cut)
    windows_path = "Z:" + str(path).replace("/", "\\")
    assert json.loads(shared_daemon.ask(f'findimage "{windows_path}" {LEFT},{TOP},{W},{H} 4')) == where
    assert json.loads(shared_daemon.ask(f'findimages "{windows_path}"')) == {
        "status": "ok", "matches": [{k: v for k, v in where.items() if k != "status"}]}
    # The window moves away: the picture is where it went, and no longer where it was.
    ok(shared_daemon.ask(f"movewindow {window.hwnd_text} {LEFT + 500},{TOP + 300}"))
    try:
        moved = {"status": "ok", "left": x + 500, "top": y + 300, "right": x + w + 500, "bottom": y + h + 300}
        answer = ok(shared_daemon.ask(f'waitimage {int(DEADLINE * 1000)} "{windows_path}"'))
        deadline = time.monotonic() + DEADLINE
        while answer != moved:  # the old place may be seen once more while the window moves
            assert time.monotonic() < deadline, answer
            answer = ok(shared_daemon.ask(f'waitimage {int(DEADLINE * 1000)} "{windows_path}"'))
        assert json.loads(shared_daemon.ask(f'findimage "{windows_path}" {LEFT},{TOP},{W},{H}')) == {
            "status": "error", "message": "Image not found"}
    finally:
        ok(shared_daemon.ask(f"movewindow {window.hwnd_text} {LEFT},{TOP}"))
    assert json.loads(shared_daemon.ask(f'waitimage {int(DEADLINE * 1000)} "{windows_path}" {LEFT},{TOP},{W},{H}')) == where


def test_waitimage_answers_once_the_window_shows_the_picture_and_waitimagegone_once_it_goes(
        window, cut, shared_daemon):
    template = "base64:" + base64.b64encode(cut).decode()
    x, y, w, h = CUT
    region = f"{LEFT},{TOP},{W},{H}"
    show(window, shared_daemon, "fill 336699", "filled")
    ok(shared_daemon.ask(f"waitimagegone {int(DEADLINE * 1000)} {template} {region}"))
    shared_daemon.send(f"waitimage {int(DEADLINE * 2000)} {template} {region}")
    no_answer_within(shared_daemon, 0.5)
    show(window, shared_daemon, "pattern", "patterned")
    assert json.loads(shared_daemon.line(timeout=DEADLINE * 2)) == {
        "status": "ok", "left": x, "top": y, "right": x + w, "bottom": y + h}
    shared_daemon.send(f"waitimagegone {int(DEADLINE * 2000)} {template} {region}")
    no_answer_within(shared_daemon, 0.5)
    show(window, shared_daemon, "fill 336699", "filled")
    assert json.loads(shared_daemon.line(timeout=DEADLINE * 2)) == {"status": "ok"}
    assert json.loads(shared_daemon.ask(f"waitimage 200 {template} {region}")) == {
        "status": "error", "message": "Timed out after 200 ms waiting for the image"}
    show(window, shared_daemon, "pattern", "patterned")


def test_waitpixel_answers_once_the_window_takes_the_colour(window, shared_daemon):
    show(window, shared_daemon, "fill 102030", "filled")
    at = f"{LEFT + 150},{TOP + 100}"
    assert json.loads(shared_daemon.ask(f"waitpixel {int(DEADLINE * 1000)} {at} 16,32,48")) == {
        "status": "ok", "r": 16, "g": 32, "b": 48}
    shared_daemon.send(f"waitpixel {int(DEADLINE * 2000)} {at} 51,102,153 2")
    no_answer_within(shared_daemon, 0.5)
    show(window, shared_daemon, "fill 346598", "filled")  # within 2 of 51,102,153 in each channel
    assert json.loads(shared_daemon.line(timeout=DEADLINE * 2)) == {"status": "ok", "r": 52, "g": 101, "b": 152}
    assert json.loads(shared_daemon.ask(f"waitpixel 150 {at} 0,0,0")) == {
        "status": "error", "message": "Timed out after 150 ms waiting for the pixel"}
    show(window, shared_daemon, "pattern", "patterned")


def test_waitstill_answers_once_the_window_stops_repainting(window, shared_daemon):
    region = f"{LEFT},{TOP},{W},{H}"
    started = time.monotonic()
    start = window.mark()
    show(window, shared_daemon, "animate 1500", "animating")
    answer = json.loads(shared_daemon.ask(f"waitstill {int(DEADLINE * 2000)} {region} 400", timeout=DEADLINE * 2))
    assert answer == {"status": "ok"}
    # The animation ran 1.5 s from after it was asked for (its last frame up to one 15 ms tick
    # early), and the region was then quiet for 0.4 s.
    assert time.monotonic() - started >= 1.8
    window.wait_for(lambda l: l == "still", start=start)
    start = window.mark()
    show(window, shared_daemon, "animate 4000", "animating")
    assert json.loads(shared_daemon.ask(f"waitstill 1000 {region} 600")) == {
        "status": "error", "message": "Timed out after 1000 ms waiting for the region to settle"}
    window.wait_for(lambda l: l == "still", timeout=DEADLINE * 2, start=start)
    show(window, shared_daemon, "pattern", "patterned")


def readme_picture_script():
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    section = text[text.index("### Pictures on the screen"):]
    return re.search(r"```python\n(.*?)```", section, re.S).group(1)


def test_the_readme_script_waits_for_the_buttons_picture_and_clicks_its_centre(
        window, cut, shared_daemon, wine_env, tmp_path, monkeypatch):
    from marlet import Marlet
    for name, value in wine_env.items():
        monkeypatch.setenv(name, value)
    monkeypatch.setenv("MARLET_EXE", str(MARLET_EXE))
    (tmp_path / "ok-button.png").write_bytes(cut)
    monkeypatch.chdir(tmp_path)  # the daemon starts here, and finds the file by its relative path
    show(window, shared_daemon, "fill 336699", "filled")
    start = window.mark()
    failures = []

    def run():
        try:
            exec(compile(readme_picture_script(), "README.md", "exec"), {})
        except Exception as e:  # reported below, in the test's own thread
            failures.append(e)

    script = threading.Thread(target=run)
    script.start()
    try:
        time.sleep(0.5)  # the script is waiting for the picture
        assert not any(l.startswith("lbuttondown") for l in window.log[start:])
        window.send("pattern")
    finally:
        script.join(DEADLINE * 2)
    assert not script.is_alive() and not failures, failures
    x, y, w, h = CUT
    down = window.wait_for(lambda l: l.startswith("lbuttondown"), start=start)
    assert down.split()[1:3] == [str(x + w // 2), str(y + h // 2)]
    window.wait_for(lambda l: l.startswith("lbuttonup"), start=start)
