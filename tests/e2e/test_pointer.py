"""Pointer commands under Wine: the pointer lands on the pixel named, and clicks and wheel turns
arrive at the window there."""

import json
import random

import pytest

from conftest import SCREEN_H, SCREEN_W, focused_probe


pointer_probe = focused_probe("marlet pointer probe", (0, 0, SCREEN_W, SCREEN_H))


SHARES_DAEMON = True  # no case here ends the daemon


def test_screen_reports_the_virtual_display(daemon):
    assert daemon.ask("screen") == '{"status":"ok","left":0,"top":0,"right":%d,"bottom":%d}' % (SCREEN_W, SCREEN_H)


def test_move_then_pos_lands_on_every_pixel_named(daemon):
    rng = random.Random(1234)
    points = [(0, 0), (1, 1), (100, 200), (960, 540), (SCREEN_W - 1, SCREEN_H - 1), (SCREEN_W - 1, 0),
              (0, SCREEN_H - 1), (SCREEN_W - 2, SCREEN_H - 2)]
    points += [(x, 0) for x in range(0, 64)] + [(0, y) for y in range(0, 64)]
    points += [(rng.randrange(SCREEN_W), rng.randrange(SCREEN_H)) for _ in range(300)]
    misses = []
    for x, y in points:
        assert daemon.ask(f"move {x},{y}") == '{"status":"ok","data":1}'
        answer = json.loads(daemon.ask("pos"))
        if (answer["x"], answer["y"]) != (x, y):
            misses.append(((x, y), (answer["x"], answer["y"])))
    assert misses == []


def test_positions_outside_the_screen_are_clamped_to_its_edge(daemon):
    for command, expected in [("move 5000,-20", (SCREEN_W - 1, 0)), ("move -5,-5", (0, 0)),
                              ("move 1920,1080", (SCREEN_W - 1, SCREEN_H - 1)), ("move -2147483648,540", (0, 540))]:
        assert daemon.ask(command) == '{"status":"ok","data":1}'
        assert json.loads(daemon.ask("pos")) == {"status": "ok", "x": expected[0], "y": expected[1]}


@pytest.mark.parametrize("command, button, x, y", [
    ("click 100,200", "l", 100, 200),
    ("rclick 300,400", "r", 300, 400),
    ("click 1500,900 middle", "m", 1500, 900),
    ("rclick 7,9 left", "l", 7, 9),
    ("CLICK 1919,1079 R", "r", 1919, 1079),
])
def test_clicks_arrive_as_button_down_then_up_at_the_pixel(daemon, pointer_probe, command, button, x, y):
    start = pointer_probe.mark()
    assert daemon.ask(command) == '{"status":"ok","data":2}'
    down = pointer_probe.wait_for(lambda l: "button" in l, start=start)
    assert down == f"{button}buttondown {x} {y}"
    up_index = pointer_probe.log.index(down, start) + 1
    up = pointer_probe.wait_for(lambda l: "button" in l, start=up_index)
    assert up == f"{button}buttonup {x} {y}"


def test_click_without_position_lands_where_the_pointer_is(daemon, pointer_probe):
    assert daemon.ask("move 640,360") == '{"status":"ok","data":1}'
    start = pointer_probe.mark()
    assert daemon.ask("click -1,5") == '{"status":"ok","data":2}'
    assert pointer_probe.wait_for(lambda l: "button" in l, start=start) == "lbuttondown 640 360"


@pytest.mark.parametrize("amount", [120, -240])
def test_scroll_arrives_as_a_wheel_turn_with_its_delta(daemon, pointer_probe, amount):
    start = pointer_probe.mark()
    assert daemon.ask(f"scroll {amount} 500,600") == '{"status":"ok","data":1}'
    assert pointer_probe.wait_for(lambda l: l.startswith("wheel"), start=start) == f"wheel {amount} 500 600"
    assert json.loads(daemon.ask("pos")) == {"status": "ok", "x": 500, "y": 600}


def test_invalid_button_moves_the_pointer_but_clicks_nothing(daemon, pointer_probe):
    start = pointer_probe.mark()
    assert daemon.ask("click 10,20 foo") == '{"status":"error","message":"Invalid button: foo"}'
    assert json.loads(daemon.ask("pos")) == {"status": "ok", "x": 10, "y": 20}
    pointer_probe.settle()
    assert [l for l in pointer_probe.log[start:] if "button" in l] == []


def test_rapid_clicks_each_land_on_the_pixel_named(daemon, pointer_probe):
    # Sent without waiting for the probe: a button record that did not carry its own position
    # would land wherever an earlier, late-applied move left the pointer.
    rng = random.Random(99)
    points = [(rng.randrange(SCREEN_W), rng.randrange(SCREEN_H)) for _ in range(200)]
    start = pointer_probe.mark()
    for x, y in points:
        assert daemon.ask(f"click {x},{y}") == '{"status":"ok","data":2}'
    pointer_probe.wait_for(lambda l: l == "lbuttonup %d %d" % points[-1], start=start)
    pointer_probe.settle()
    downs = [l for l in pointer_probe.log[start:] if l.startswith("lbuttondown")]
    assert downs == ["lbuttondown %d %d" % p for p in points]
