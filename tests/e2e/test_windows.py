"""Window commands under Wine: find real top-level windows by title and bring them forward."""

import json

import pytest


SHARES_DAEMON = True  # no case here ends the daemon


def found(daemon, title):
    return json.loads(daemon.ask(f"find {title}"))


def test_find_answers_the_probes_own_handle_byte_for_byte(daemon, start_probe):
    start_probe("marlet Alpha window")
    beta = start_probe("marlet Beta window")
    start_probe("marlet Gamma window")
    assert daemon.ask("find BETA WIN") == '{"status":"ok","hwnd":"%s"}' % beta.hwnd_text
    assert found(daemon, "mArLeT bEtA")["hwnd"] == beta.hwnd_text


def test_find_with_no_match_echoes_the_title(daemon):
    assert daemon.ask("find No Such   Window here") == \
        '{"status":"error","message":"Window not found: No Such Window here"}'


def test_find_matches_non_ascii_titles(daemon, start_probe):
    probe = start_probe("marlet Caf\u00e9 \u65e5\u672c\u8a9e \U0001F600")
    assert found(daemon, "CAF\u00e9 \u65e5\u672c")["hwnd"] == probe.hwnd_text
    assert found(daemon, "\U0001F600")["hwnd"] == probe.hwnd_text
    assert found(daemon, "caf\u00c9 \u65e5") == {"status": "error", "message": "Window not found: caf\u00c9 \u65e5"}


@pytest.mark.parametrize("spelling", [lambda h: f"{h:#x}", lambda h: f"0x{h:X}", lambda h: f"0x00{h:x}", lambda h: str(h)])
def test_focus_brings_the_window_forward_whatever_the_spelling(daemon, start_probe, spelling):
    first = start_probe("marlet focus one", rect=(0, 0, 400, 300))
    second = start_probe("marlet focus two", rect=(500, 0, 400, 300))
    assert daemon.ask(f"focus {second.hwnd_text}") == '{"status":"ok"}'
    second.wait_for(lambda l: l == "activate 1")
    start = first.mark()
    assert daemon.ask(f"foreground {spelling(first.hwnd)}") == '{"status":"ok"}'
    first.wait_for(lambda l: l == "activate 1", start=start)


def test_find_then_focus_round_trips_and_keyboard_input_follows(daemon, start_probe):
    probe = start_probe("marlet round trip target", rect=(0, 0, 400, 300))
    start_probe("marlet round trip other", rect=(500, 0, 400, 300))
    handle = found(daemon, "ROUND TRIP TARGET")["hwnd"]
    start = probe.mark()
    assert daemon.ask(f"focus {handle}") == '{"status":"ok"}'
    probe.wait_for(lambda l: l == "activate 1", start=start)
    assert daemon.ask("type ok") == '{"status":"ok","data":4}'
    probe.wait_for(lambda l: l == "char 0x006b", start=start)


def test_focus_restores_a_minimised_window(daemon, start_probe):
    probe = start_probe("marlet minimised probe", rect=(0, 0, 400, 300), minimized=True)
    start = probe.mark()
    assert daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'
    probe.wait_for(lambda l: l == "size restored", start=start)
    probe.wait_for(lambda l: l == "activate 1", start=start)


def test_focus_of_a_closed_window_is_an_invalid_handle(daemon, start_probe):
    probe = start_probe("marlet closing probe")
    handle = found(daemon, "closing probe")["hwnd"]
    probe.close()
    assert daemon.ask(f"focus {handle}") == '{"status":"error","message":"Invalid HWND"}'
    assert found(daemon, "closing probe")["status"] == "error"


def test_focus_errors(daemon):
    assert daemon.ask("focus 0") == '{"status":"error","message":"Invalid HWND"}'
    assert daemon.ask("focus") == '{"status":"error","message":"Usage: focus HWND"}'
    assert daemon.ask("focus zz") == '{"status":"error","message":"Exception: invalid stoull argument"}'


def test_keys_typed_right_after_focus_reach_the_window_focused_and_none_is_lost(daemon, start_probe):
    # focus answers only once the window is in front, so the next line's input goes there; and it
    # moves the foreground only once the window in front has read the keys sent to it, so none
    # of them (key-ups included) is lost with that window's focus.
    probes = [start_probe("marlet focus race one", rect=(0, 0, 400, 300)),
              start_probe("marlet focus race two", rect=(500, 0, 400, 300))]
    starts = [p.mark() for p in probes]
    for i in range(40):
        target = probes[i % 2]
        assert daemon.ask(f"focus {target.hwnd_text}") == '{"status":"ok"}'
        assert daemon.ask("type k") == '{"status":"ok","data":2}'
    wanted = ["keydown vk=0x4b", "keyup vk=0x4b", "char 0x006b"]
    for probe, start in zip(probes, starts):
        def counts():
            return [sum(1 for line in probe.log[start:] if line.startswith(w)) for w in wanted]
        try:
            probe.wait_for(lambda _: counts() == [20, 20, 20], start=start)
        except AssertionError:
            pass
        assert counts() == [20, 20, 20], (probe.hwnd_text, counts())
