"""Window commands beyond find and focus, under Wine against probe windows: listing, the active
window, frames and client areas, states, closing, waiting, activation and the session."""

import json
import subprocess
import shutil
import time

from conftest import PROBE_EXE


SHARES_DAEMON = True  # no case here ends the daemon


def ask(daemon, line):
    return json.loads(daemon.ask(line))


def bounds(answer):
    return answer["left"], answer["top"], answer["right"], answer["bottom"]


def test_windows_lists_the_probes_with_their_own_facts(daemon, start_probe):
    one = start_probe("marlet listed one \u00e9", rect=(10, 20, 300, 200))
    two = start_probe("marlet listed two", rect=(400, 50, 320, 240), framed=True)
    listed = ask(daemon, "windows MARLET LISTED")
    assert listed["status"] == "ok"
    by_handle = {w["hwnd"]: w for w in listed["windows"]}
    assert set(by_handle) == {one.hwnd_text, two.hwnd_text}
    for probe, title in [(one, "marlet listed one \u00e9"), (two, "marlet listed two")]:
        w = by_handle[probe.hwnd_text]
        outer, _ = probe.where()
        assert (w["title"], w["class"], w["pid"]) == (title, "MarletProbe", probe.pid)
        assert (w["left"], w["top"], w["right"], w["bottom"]) == outer
        assert (w["minimized"], w["maximized"]) == (False, False)
    # Front first: the probe started last is in front.
    assert [w["hwnd"] for w in listed["windows"]] == [two.hwnd_text, one.hwnd_text]
    assert ask(daemon, "windows no such marlet window") == {"status": "ok", "windows": []}


def test_active_follows_focus(daemon, start_probe):
    first = start_probe("marlet active one", rect=(0, 0, 300, 200))
    second = start_probe("marlet active two", rect=(400, 0, 300, 200))
    for probe, title in [(first, "marlet active one"), (second, "marlet active two"), (first, "marlet active one")]:
        assert daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'
        assert ask(daemon, "active") == {"status": "ok", "hwnd": probe.hwnd_text, "title": title}


def test_rect_and_client_agree_with_what_the_probe_reports(daemon, start_probe):
    probe = start_probe("marlet framed probe", rect=(200, 150, 500, 400), framed=True)
    outer, client = probe.where()
    assert outer != client  # a caption and borders: the two differ
    assert bounds(ask(daemon, f"rect {probe.hwnd_text}")) == outer
    assert bounds(ask(daemon, f"client {probe.hwnd_text}")) == client


def test_a_click_at_the_client_areas_centre_lands_there(daemon, start_probe):
    probe = start_probe("marlet click target", rect=(300, 200, 400, 300), framed=True)
    assert daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'
    left, top, right, bottom = bounds(ask(daemon, f"client {probe.hwnd_text}"))
    x, y = (left + right) // 2, (top + bottom) // 2
    start = probe.mark()
    assert daemon.ask(f"click {x},{y}") == '{"status":"ok","data":2}'
    assert probe.wait_for(lambda l: "button" in l, start=start) == f"lbuttondown {x} {y}"


def test_states_reach_the_probe(daemon, start_probe):
    probe = start_probe("marlet state probe", rect=(100, 100, 400, 300), framed=True)
    for command, message in [("maximize", "size maximized"), ("minimize", "size minimized"),
                             ("restore", "size restored")]:
        start = probe.mark()
        assert daemon.ask(f"{command} {probe.hwnd_text}") == '{"status":"ok"}', command
        probe.wait_for(lambda l: l == message, start=start)
    listed = ask(daemon, "windows marlet state probe")["windows"][0]
    assert (listed["minimized"], listed["maximized"]) == (False, False)
    assert bounds(ask(daemon, f"rect {probe.hwnd_text}")) == probe.where()[0]


def test_movewindow_places_the_frame_that_rect_answers(daemon, start_probe):
    probe = start_probe("marlet moved probe", rect=(100, 100, 400, 300), framed=True)
    assert daemon.ask(f"movewindow {probe.hwnd_text} 0,0") == '{"status":"ok"}'
    assert bounds(ask(daemon, f"rect {probe.hwnd_text}"))[:2] == (0, 0)
    assert daemon.ask(f"movewindow {probe.hwnd_text} 250,120 640,480") == '{"status":"ok"}'
    assert bounds(ask(daemon, f"rect {probe.hwnd_text}")) == (250, 120, 890, 600)
    assert probe.where()[0] == (250, 120, 890, 600)


def test_close_closes_the_probe_and_waitclose_sees_it_go(daemon, start_probe):
    probe = start_probe("marlet closed by marlet", rect=(0, 0, 300, 200))
    assert daemon.ask(f"close {probe.hwnd_text}") == '{"status":"ok"}'
    assert daemon.ask(f"waitclose 10000 {probe.hwnd_text}") == '{"status":"ok"}'
    probe.wait_for(lambda l: l == "destroyed")
    assert daemon.ask(f"rect {probe.hwnd_text}") == '{"status":"error","message":"Invalid HWND"}'


def test_waitclose_times_out_on_a_window_that_stays(daemon, start_probe):
    probe = start_probe("marlet staying probe", rect=(0, 0, 300, 200))
    started = time.monotonic()
    assert ask(daemon, f"waitclose 300 {probe.hwnd_text}") == {
        "status": "error", "message": f"Timed out after 300 ms waiting for {probe.hwnd_text} to close"}
    assert time.monotonic() - started >= 0.3


def test_waitwindow_finds_a_probe_started_after_the_command(daemon, wine_env):
    daemon.send("waitwindow 20000 marlet late arrival")
    late = subprocess.Popen([shutil.which("wine"), str(PROBE_EXE), "marlet late arrival", "0", "0", "300", "200"],
                            env=wine_env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        lines = iter(late.stdout.readline, b"")
        hwnd = next(line for line in lines if line.startswith(b"hwnd ")).decode().split()[1]
        assert json.loads(daemon.line(timeout=30)) == {"status": "ok", "hwnd": hwnd}
    finally:
        late.kill()
        late.wait()
    assert ask(daemon, "waitwindow 100 marlet never arrives") == {
        "status": "error", "message": "Timed out after 100 ms waiting for window: marlet never arrives"}


def test_activate_brings_a_probe_forward(daemon, start_probe):
    target = start_probe("marlet activate target", rect=(0, 0, 300, 200), minimized=True)
    start_probe("marlet activate other", rect=(400, 0, 300, 200))
    start = target.mark()
    assert daemon.ask(f"activate {target.hwnd_text}") == '{"status":"ok"}'
    target.wait_for(lambda l: l == "activate 1", start=start)
    assert ask(daemon, "active")["hwnd"] == target.hwnd_text


def test_session_is_interactive(daemon):
    assert ask(daemon, "session") == {"status": "ok", "session": 1, "desktop": "Default", "interactive": True}
