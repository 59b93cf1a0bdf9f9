"""Input beyond click, press and type, under Wine at a probe window: held modifiers, drags,
double-clicks, the horizontal wheel, moves by an offset, exact text, the clipboard, and keys let
go when the daemon ends."""

import json

import pytest

from conftest import focused_probe, start_ready_daemon
from test_keyboard import key_events, typed_text


input_probe = focused_probe("marlet input probe", (0, 0, 1000, 700))


SHARES_DAEMON = True  # no case here ends the daemon


def focus(daemon, probe):
    assert daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'


def test_shift_held_with_down_is_down_during_a_click(daemon, input_probe):
    focus(daemon, input_probe)
    # The pointer is put on the spot first: under Wine a pointer move makes Wine read Shift and
    # Ctrl back from the X server, where a key held only by SendInput is up.
    assert daemon.ask("move 300,200") == '{"status":"ok","data":1}'
    start = input_probe.mark()
    assert daemon.ask("down shift") == '{"status":"ok","data":1}'
    assert daemon.ask("click 300,200") == '{"status":"ok","data":2}'
    assert daemon.ask("up shift") == '{"status":"ok","data":1}'
    assert input_probe.wait_for(lambda l: "button" in l, start=start) == "lbuttondown 300 200 shift"
    input_probe.wait_for(lambda l: l.startswith("keyup vk=0x10"), start=start)


def test_a_drag_holds_the_button_from_start_to_end(daemon, input_probe):
    focus(daemon, input_probe)
    start = input_probe.mark()
    assert json.loads(daemon.ask("drag 100,100 600,400"))["status"] == "ok"
    input_probe.wait_for(lambda l: l.startswith("lbuttonup"), start=start)
    input_probe.settle()
    lines = [l for l in input_probe.log[start:] if l.startswith(("lbutton", "drag"))]
    assert lines[0] == "lbuttondown 100 100"
    assert lines[-1] == "lbuttonup 600 400"
    moves = [tuple(map(int, l.split()[1:3])) for l in lines[1:-1]]
    assert len(moves) >= 10 and moves[-1] == (600, 400)
    assert abs(moves[0][0] - 100) > 4 or abs(moves[0][1] - 100) > 4  # past the drag threshold at once


def test_dclick_arrives_as_a_double_click(daemon, start_probe):
    probe = start_probe("marlet double-click probe", rect=(0, 0, 500, 400), dblclks=True)
    focus(daemon, probe)
    start = probe.mark()
    assert daemon.ask("dclick 250,200") == '{"status":"ok","data":4}'
    probe.wait_for(lambda l: l == "lbuttondblclk 250 200", start=start)
    probe.settle()
    assert [l for l in probe.log[start:] if "button" in l] == [
        "lbuttondown 250 200", "lbuttonup 250 200", "lbuttondblclk 250 200", "lbuttonup 250 200"]


@pytest.mark.parametrize("amount", [120, -240])
def test_the_horizontal_wheel_arrives_with_its_sign(daemon, input_probe, amount):
    focus(daemon, input_probe)
    start = input_probe.mark()
    assert daemon.ask(f"hscroll {amount} 400,300") == '{"status":"ok","data":1}'
    assert input_probe.wait_for(lambda l: l.startswith("hwheel"), start=start) == f"hwheel {amount} 400 300"


def test_moveby_lands_where_expected(daemon):
    assert daemon.ask("move 500,500") == '{"status":"ok","data":1}'
    assert daemon.ask("moveby -123,45") == '{"status":"ok","data":1}'
    assert json.loads(daemon.ask("pos")) == {"status": "ok", "x": 377, "y": 545}
    assert daemon.ask("moveby 99999,-99999") == '{"status":"ok","data":1}'
    assert json.loads(daemon.ask("pos")) == {"status": "ok", "x": 1919, "y": 0}


def test_typejson_text_arrives_exactly(daemon, input_probe):
    focus(daemon, input_probe)
    text = '  He said "hi" \\ C:\\path\nnext line\tcaf\u00e9 \u65e5\u672c \U0001F600 '
    start = input_probe.mark()
    answer = json.loads(daemon.ask("typejson " + json.dumps(text)))
    assert answer["status"] == "ok"
    input_probe.settle()
    assert typed_text(input_probe, start) == text.replace("\n", "\r")  # Enter arrives as a CR


def test_setclipboard_is_what_another_program_pastes_and_clipboard_reads_what_it_copied(daemon, input_probe):
    text = 'caf\u00e9 "quoted" \\ \U0001F600\nline two'
    assert daemon.ask("setclipboard " + json.dumps(text)) == '{"status":"ok"}'
    focus(daemon, input_probe)
    start = input_probe.mark()
    assert daemon.ask("press ctrl+v") == '{"status":"ok","data":4}'
    pasted = input_probe.wait_for(lambda l: l.startswith("paste"), start=start)
    units = [int(u, 16) for u in pasted.split()[1:]]
    assert b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le") == text

    copied = "from the probe \u00fc \U0001F680"
    start = input_probe.mark()
    utf16 = copied.encode("utf-16-le")
    input_probe.send("copy " + " ".join("%04x" % int.from_bytes(utf16[i:i + 2], "little")
                                        for i in range(0, len(utf16), 2)))
    input_probe.wait_for(lambda l: l == "copied", start=start)
    assert json.loads(daemon.ask("clipboard")) == {"status": "ok", "text": copied}


def test_a_daemon_whose_input_ends_lets_go_of_ctrl(wine_env, input_probe):
    own = start_ready_daemon(wine_env)
    assert own.ask(f"focus {input_probe.hwnd_text}") == '{"status":"ok"}'
    start = input_probe.mark()
    assert own.ask("down ctrl") == '{"status":"ok","data":1}'
    input_probe.wait_for(lambda l: l.startswith("keydown vk=0x11"), start=start)
    assert own.close() == 0
    input_probe.wait_for(lambda l: l.startswith("keyup vk=0x11"), start=start)
    assert b"Released on exit: ctrl\r\n" in own.err.raw
    assert key_events(input_probe, start).count(("up", 0x11, 0)) == 1
