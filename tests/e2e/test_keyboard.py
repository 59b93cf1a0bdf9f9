"""Keyboard commands under Wine: the focused window receives exactly the keys and characters."""

import pytest

from conftest import focused_probe


keyboard_probe = focused_probe("marlet keyboard probe", (0, 0, 800, 600))


SHARES_DAEMON = True  # no case here ends the daemon


def key_events(probe, start):
    """(direction, vk, extended) of every key message since start."""
    events = []
    for line in probe.log[start:]:
        kind, *fields = line.split()
        if kind in ("keydown", "keyup", "syskeydown", "syskeyup"):
            values = dict(f.split("=") for f in fields)
            events.append(("down" if kind.endswith("down") else "up", int(values["vk"], 16), int(values["ext"])))
    return events


def typed_text(probe, start):
    """The characters received since start, surrogate pairs joined."""
    units = [int(line.split()[1], 16) for line in probe.log[start:] if line.startswith(("char ", "syschar "))]
    return b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le")


def run(daemon, probe, command, expected_answer):
    start = probe.mark()
    assert daemon.ask(command) == expected_answer
    probe.settle()
    return start


@pytest.mark.parametrize("command", ["press ctrl+c", "key ctrl c", "PRESS Ctrl+C"])
def test_ctrl_c_arrives_as_ctrl_down_c_down_c_up_ctrl_up(daemon, keyboard_probe, command):
    start = run(daemon, keyboard_probe, command, '{"status":"ok","data":4}')
    assert key_events(keyboard_probe, start) == [("down", 0x11, 0), ("down", 0x43, 0), ("up", 0x43, 0), ("up", 0x11, 0)]
    assert typed_text(keyboard_probe, start) == "\x03"


def test_three_key_combination_releases_in_reverse(daemon, keyboard_probe):
    start = run(daemon, keyboard_probe, "press ctrl+shift+a", '{"status":"ok","data":6}')
    assert key_events(keyboard_probe, start) == [("down", 0x11, 0), ("down", 0x10, 0), ("down", 0x41, 0),
                                                ("up", 0x41, 0), ("up", 0x10, 0), ("up", 0x11, 0)]


def test_layout_fallback_character_brings_its_shift(daemon, keyboard_probe):
    start = run(daemon, keyboard_probe, "press !", '{"status":"ok","data":4}')
    assert key_events(keyboard_probe, start) == [("down", 0x10, 0), ("down", 0x31, 0), ("up", 0x31, 0), ("up", 0x10, 0)]
    assert typed_text(keyboard_probe, start) == "!"


@pytest.mark.parametrize("name, vk, extended", [
    ("up", 0x26, 1), ("down", 0x28, 1), ("left", 0x25, 1), ("right", 0x27, 1), ("home", 0x24, 1),
    ("end", 0x23, 1), ("pgup", 0x21, 1), ("pgdn", 0x22, 1), ("insert", 0x2D, 1), ("delete", 0x2E, 1),
    ("rctrl", 0x11, 1), ("num/", 0x6F, 1), ("num8", 0x68, 0), ("lctrl", 0x11, 0), ("num+", 0x6B, 0),
    ("numenter", 0x0D, 1), ("enter", 0x0D, 0), ("pause", 0x13, 0),
])
def test_keys_arrive_as_the_key_named_with_the_extended_bit_where_it_belongs(daemon, keyboard_probe, name, vk, extended):
    start = run(daemon, keyboard_probe, f"press {name}", '{"status":"ok","data":2}')
    assert key_events(keyboard_probe, start) == [("down", vk, extended), ("up", vk, extended)]


@pytest.mark.parametrize("command, text", [
    ("type Hello, World!", "Hello, World!"),
    ('type "a   b"', "a   b"),
    ("type a   b", "a b"),
    ('type "tab\there"', "tab\there"),
    ("type ~`!@#$%^&*()_+-={}[]|\\:;'<>?,./", "~`!@#$%^&*()_+-={}[]|\\:;'<>?,./"),
    ("type caf\u00e9", "caf\u00e9"),
    ("type \u65e5\u672c\u8a9e", "\u65e5\u672c\u8a9e"),
    ("type \u00fcber \U0001F600!", "\u00fcber \U0001F600!"),
])
def test_typed_text_arrives_as_exactly_those_characters(daemon, keyboard_probe, command, text):
    start = keyboard_probe.mark()
    answer = daemon.ask(command)
    assert answer.startswith('{"status":"ok","data":')
    keyboard_probe.settle()
    assert typed_text(keyboard_probe, start) == text
    # Every key that went down came up again.
    events = key_events(keyboard_probe, start)
    assert sorted(e for e in events if e[0] == "down") == sorted(("down",) + e[1:] for e in events if e[0] == "up")


def wait_chars(probe, start, count):
    """The characters received since start, once there are `count` of them (deadline: DEADLINE)."""
    probe.wait_for(lambda l: sum(1 for x in probe.log[start:] if x.startswith("char ")) >= count, start=start)
    return typed_text(probe, start)


def test_typed_text_arrives_as_sent_while_caps_lock_is_on_and_the_lock_stays_on(daemon, keyboard_probe):
    keyboard_probe.send("locks")  # from now on each character is followed by the lock its thread sees
    start = keyboard_probe.mark()
    assert daemon.ask("press capslock") == '{"status":"ok","data":2}'
    try:
        keyboard_probe.wait_for(lambda l: l.startswith("keyup vk=0x14"), start=start)
        start = keyboard_probe.mark()
        assert daemon.ask("type Ab1!") == '{"status":"ok","data":12}'
        assert wait_chars(keyboard_probe, start, 4) == "Ab1!"
        keyboard_probe.wait_for(lambda l: sum(x.startswith("capslock") for x in keyboard_probe.log[start:]) >= 4,
                                start=start)
        # The window saw the lock on while each character arrived...
        seen = [l for l in keyboard_probe.log[start:] if l.startswith("capslock")]
        assert seen == ["capslock 1"] * 4, keyboard_probe.log[start:]
        # ...and still sees it on: a key pressed now comes as its capital.
        start = keyboard_probe.mark()
        keyboard_probe.send("capslock")
        assert keyboard_probe.wait_for(lambda l: l.startswith("capslock"), start=start) == "capslock 1"
        assert daemon.ask("press a") == '{"status":"ok","data":2}'
        assert wait_chars(keyboard_probe, start, 1) == "A"
    finally:
        start = keyboard_probe.mark()
        assert daemon.ask("press capslock") == '{"status":"ok","data":2}'
        keyboard_probe.wait_for(lambda l: l.startswith("keyup vk=0x14"), start=start)
    start = keyboard_probe.mark()
    assert daemon.ask("type Ab") == '{"status":"ok","data":6}'
    assert wait_chars(keyboard_probe, start, 2) == "Ab"
    start = keyboard_probe.mark()
    keyboard_probe.send("capslock")
    assert keyboard_probe.wait_for(lambda l: l.startswith("capslock"), start=start) == "capslock 0"
