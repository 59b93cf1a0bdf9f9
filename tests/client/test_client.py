"""Every method's line on the wire and the value it returns, the errors, the quoting of titles
and text, threads sharing one instance, and a daemon that dies under a call."""

import io
import os
import sys
import threading
import time

import pytest
from PIL import Image

import marlet
from daemon_process import wallpaper
from marlet import Color, CommandError, Control, Items, Marlet, MarletError, MarletExited, MarletTimeout, Point, Rect, Session, Window


class Recording(Marlet):
    """The client, with every line it sends kept."""

    def __init__(self, *args, **kwargs):
        self.sent = []
        super().__init__(*args, **kwargs)

    def _send(self, line):
        self.sent.append(line)
        super()._send(line)




# (call, its line on the wire, the value it returns): against the host daemon.
HOST_CASES = [
    (lambda m: m.version(), "version", "1.0.0"),
    (lambda m: m.move(100, 200), "move 100,200", None),
    (lambda m: m.position(), "pos", Point(100, 200)),
    (lambda m: m.screen(), "screen", Rect(0, 0, 1920, 1080)),
    (lambda m: m.click(5, 6), "click 5,6 left", None),
    (lambda m: m.click(5, 6, "middle"), "click 5,6 middle", None),
    (lambda m: m.right_click(7, 8), "rclick 7,8 right", None),
    (lambda m: m.double_click(9, 10), "dclick 9,10 left", None),
    (lambda m: m.scroll(-120), "scroll -120", None),
    (lambda m: m.scroll(240, 3, 4), "scroll 240 3,4", None),
    (lambda m: m.hscroll(120, 5, 6), "hscroll 120 5,6", None),
    (lambda m: m.move_by(-5, 10), "moveby -5,10", None),
    (lambda m: m.position(), "pos", Point(0, 16)),
    (lambda m: m.drag(1, 2, 300, 400, duration=0.25), "drag 1,2 300,400 left 250", None),
    (lambda m: m.mouse_down(), "mousedown left", None),
    (lambda m: m.mouse_up(10, 20, "right"), "mouseup 10,20 right", None),
    (lambda m: m.type('a "b"\n'), 'typejson "a \\"b\\"\\n"', None),
    (lambda m: m.type("x", interval=0.02), 'typejson "x" 20', None),
    (lambda m: m.press("ctrl+s"), "press ctrl+s", None),
    (lambda m: m.press(["alt", "f4"]), "press alt+f4", None),
    (lambda m: m.key_down("shift"), "down shift", None),
    (lambda m: m.key_up(["shift"]), "up shift", None),
    (lambda m: m.windows(), "windows", []),
    (lambda m: m.windows("Note pad"), 'windows "Note pad"', []),
    (lambda m: m.pixel(10, 20), "pixel 10,20", Color(*wallpaper(10, 20))),
    (lambda m: m.set_clipboard("caf\u00e9"), 'setclipboard "caf\\u00e9"', None),
    (lambda m: m.clipboard(), "clipboard", "caf\u00e9"),
    (lambda m: m.session(), "session", Session(1, "Default", True)),
    (lambda m: m.wait(0.05), "wait 50", None),
]


def test_every_method_sends_its_line_and_returns_its_value(host_marlet):
    with Recording(host_marlet) as m:
        for call, line, value in HOST_CASES:
            before = len(m.sent)
            assert call(m) == value, line
            assert m.sent[before:] == [line]
    assert m.sent[-1] == "quit"


def test_screenshots_come_back_as_png_bytes_or_a_path(host_marlet, tmp_path):
    with Recording(host_marlet) as m:
        png = m.screenshot((10, 20, 30, 40))
        assert m.sent[-1] == "screenshot 10,20,30,40"
        image = Image.open(io.BytesIO(png))
        assert image.size == (30, 40) and image.getpixel((0, 0)) == wallpaper(10, 20)
        assert Image.open(io.BytesIO(m.screenshot())).size == (1920, 1080)
        target = tmp_path / "a shot \u00e9.png"
        assert m.screenshot(Rect(5, 5, 15, 25), target) == str(target)
        assert m.sent[-1] == f'screenshot 5,5,10,20 "{target}"'
        assert Image.open(target).size == (10, 20)
        fitted = Image.open(io.BytesIO(m.screenshot((0, 0, 400, 300), size=(100, 100))))
        assert m.sent[-1] == "screenshot 0,0,400,300 100x100" and fitted.size == (100, 75)
        with pytest.raises(ValueError):
            m.screenshot(size=(0, 10))


def test_pictures_are_found_by_bytes_or_path_and_waits_return_what_they_saw(host_marlet, tmp_path):
    with Recording(host_marlet) as m:
        # The wallpaper repeats every 256 pixels across, so a cut lies there first.
        cut = m.screenshot((40, 30, 20, 10))
        assert m.find_image(cut) == Rect(40, 30, 60, 40)
        assert m.sent[-1].startswith("findimage base64:iVBORw0KGgo")
        path = tmp_path / "a cut.png"
        path.write_bytes(cut)
        assert m.find_image(path, Rect(100, 0, 500, 300), tolerance=2) == Rect(296, 30, 316, 40)
        assert m.sent[-1] == f'findimage "{path}" 100,0,400,300 2'
        assert m.find_image(str(path), (0, 0, 10, 10)) is None
        assert m.find_images(path, (0, 0, 600, 100)) == [Rect(40, 30, 60, 40), Rect(296, 30, 316, 40),
                                                         Rect(552, 30, 572, 40)]
        assert m.wait_image(cut, timeout=0.2) == Rect(40, 30, 60, 40)
        assert m.sent[-1].startswith("waitimage 200 base64:")
        with pytest.raises(CommandError, match="^Timed out after 100 ms waiting for the image to go$"):
            m.wait_image_gone(cut, 0.1)
        assert m.wait_pixel(10, 20, wallpaper(10, 20)) == Color(*wallpaper(10, 20))
        assert m.sent[-1] == "waitpixel 10000 10,20 %d,%d,%d" % wallpaper(10, 20)
        assert m.wait_pixel(10, 20, Color(0, 0, 0), 0.1, tolerance=255) == Color(*wallpaper(10, 20))
        assert m.wait_still(Rect(0, 0, 50, 50), 0.25, timeout=1) is None
        assert m.sent[-1] == "waitstill 1000 0,0,50,50 250"
        (tmp_path / "notes.txt").write_text("hi")
        with pytest.raises(CommandError, match="^Not a PNG: "):
            m.find_image(tmp_path / "notes.txt")
        for call in (lambda: m.find_image(cut, tolerance=256), lambda: m.find_image(b""),
                     lambda: m.find_image("base64:abc"), lambda: m.find_image(12),
                     lambda: m.wait_pixel(1, 2, (1, 2)), lambda: m.wait_pixel(1, 2, (1, 2, 300)),
                     lambda: m.wait_still((1, 2, 3), 1), lambda: m.find_image('a "quoted" name.png')):
            sent = len(m.sent)
            with pytest.raises(ValueError):
                call()
            assert len(m.sent) == sent


def test_window_answers_become_values(tmp_path):
    """The answers the simulated desktop cannot give (it has no windows), from a scripted stand-in."""
    script = tmp_path / "script"
    window = ('{"hwnd":"0x1a2b","title":"Caf\u00e9 \\"1\\"","class":"Notepad","pid":42,"left":-10,"top":20,'
              '"right":790,"bottom":620,"minimized":false,"maximized":true,"foreground":true}')
    answers = [
        '{"status":"ok","hwnd":"0x1a2b"}',
        '{"status":"ok","windows":[%s]}' % window,
        '{"status":"ok","hwnd":"0x1a2b","title":"Caf\u00e9"}',
        '{"status":"ok","left":-10,"top":20,"right":790,"bottom":620}',
        '{"status":"ok","left":-9,"top":51,"right":789,"bottom":619}',
        '{"status":"ok"}', '{"status":"ok"}', '{"status":"ok"}', '{"status":"ok"}', '{"status":"ok"}',
        '{"status":"ok"}', '{"status":"ok"}', '{"status":"ok"}',
        '{"status":"ok"}', '{"status":"ok","hwnd":"0x3c4d"}', '{"status":"ok"}',
    ]
    script.write_text("\n".join(answers) + "\n", encoding="utf-8")
    listed = Window("0x1a2b", 'Caf\u00e9 "1"', "Notepad", 42, Rect(-10, 20, 790, 620), False, True, True)
    cases = [
        (lambda m: m.find("Caf\u00e9  x"), 'find "Caf\u00e9  x"', "0x1a2b"),
        (lambda m: m.windows("Caf"), 'windows "Caf"', [listed]),
        (lambda m: m.active(), "active", ("0x1a2b", "Caf\u00e9")),
        (lambda m: m.rect(listed), "rect 0x1a2b", Rect(-10, 20, 790, 620)),
        (lambda m: m.client_rect(0x1a2b), "client 0x1a2b", Rect(-9, 51, 789, 619)),
        (lambda m: m.focus("0x1a2b"), "focus 0x1a2b", None),
        (lambda m: m.activate("0x1a2b"), "activate 0x1a2b", None),
        (lambda m: m.minimize("0x1a2b"), "minimize 0x1a2b", None),
        (lambda m: m.maximize("0x1a2b"), "maximize 0x1a2b", None),
        (lambda m: m.restore("0x1a2b"), "restore 0x1a2b", None),
        (lambda m: m.move_window("0x1a2b", -5, 6), "movewindow 0x1a2b -5,6", None),
        (lambda m: m.move_window("0x1a2b", 0, 0, 640, 480), "movewindow 0x1a2b 0,0 640,480", None),
        (lambda m: m.close("0x1a2b"), "close 0x1a2b", None),
        (lambda m: m.close_window(listed), "close 0x1a2b", None),
        (lambda m: m.wait_window("Save As", timeout=2.5), 'waitwindow 2500 "Save As"', "0x3c4d"),
        (lambda m: m.wait_close("0x3c4d", timeout=1), "waitclose 1000 0x3c4d", None),
    ]
    with _scripted(script) as m:
        for call, _, value in cases:
            assert call(m) == value
        assert listed.rect.center == Point(390, 320)
    received = (tmp_path / "script.received").read_text(encoding="utf-8").splitlines()
    assert received == [line for _, line, _ in cases] + ["quit"]


def test_control_answers_become_values(tmp_path):
    script = tmp_path / "script"
    ok = ('{"hwnd":"0x2c","parent":"0x1a2b","id":1,"class":"Button","classnn":"Button1","text":"&OK",'
          '"left":10,"top":20,"right":90,"bottom":44,"visible":true,"enabled":true}')
    secret = ('{"hwnd":"0x2e","parent":"0x1a2b","id":1002,"class":"Edit","classnn":"Edit2","password":true,'
              '"left":10,"top":50,"right":210,"bottom":72,"visible":true,"enabled":false}')
    answers = [
        '{"status":"ok","controls":[%s,%s]}' % (ok, secret),
        '{"status":"ok","text":"Caf\u00e9"}', '{"status":"ok"}', '{"status":"ok"}', '{"status":"ok"}',
        '{"status":"ok"}', '{"status":"ok","index":2}', '{"status":"ok","index":0}',
        '{"status":"ok","items":["a","b"],"selected":-1}', '{"status":"ok","items":[["a.txt","1 KB"]],"selected":0}',
    ]
    script.write_text("\n".join(answers) + "\n", encoding="utf-8")
    button = Control("0x2c", "0x1a2b", 1, "Button", "Button1", "&OK", False, Rect(10, 20, 90, 44), True, True)
    password = Control("0x2e", "0x1a2b", 1002, "Edit", "Edit2", None, True, Rect(10, 50, 210, 72), True, False)
    cases = [
        (lambda m: m.controls("0x1a2b"), "controls 0x1a2b", [button, password]),
        (lambda m: m.control_text("0x1a2b/#1001"), "controltext 0x1a2b/#1001", "Caf\u00e9"),
        (lambda m: m.set_control_text("0x1a2b/Edit1", 'say "hi"'), 'setcontroltext 0x1a2b/Edit1 "say \\"hi\\""', None),
        (lambda m: m.control_click(button), "controlclick 0x2c", None),
        (lambda m: m.check(0x30), "check 0x30", None),
        (lambda m: m.uncheck("0x1a2b/Button3"), "uncheck 0x1a2b/Button3", None),
        (lambda m: m.choose("0x1a2b/ComboBox1", "Ban"), 'choose 0x1a2b/ComboBox1 "Ban"', 2),
        (lambda m: m.choose("0x1a2b/ComboBox1", 0), "choose 0x1a2b/ComboBox1 #0", 0),
        (lambda m: m.items("0x1a2b/ListBox1"), "items 0x1a2b/ListBox1", Items(["a", "b"], -1)),
        (lambda m: m.items("0x1a2b/SysListView321"), "items 0x1a2b/SysListView321", Items([["a.txt", "1 KB"]], 0)),
    ]
    with _scripted(script) as m:
        for call, _, value in cases:
            assert call(m) == value
    received = (tmp_path / "script.received").read_text(encoding="utf-8").splitlines()
    assert received == [line for _, line, _ in cases] + ["quit"]


def _scripted(script):
    daemon = os.path.join(os.path.dirname(__file__), "scripted_daemon.py")
    wrapper = script.parent / "daemon"
    wrapper.write_text(f"#!/bin/sh\nexec {sys.executable} {daemon} {script}\n")
    wrapper.chmod(0o755)
    return Marlet(str(wrapper))


@pytest.mark.parametrize("title", [
    "plain", "two  spaces", "  leading and trailing  ", "tab\there", "back\\slash in it", "caf\u00e9 \u65e5\u672c \U0001F600",
    "#hash first", "C:\\Users\\me", "a,b 1,2", "'single quotes'",
])
def test_titles_reach_the_daemon_unchanged(host_marlet, title):
    with Marlet(host_marlet) as m:
        with pytest.raises(MarletError) as failure:
            m.find(title)
        assert failure.value.message == f"Window not found: {title}"
        with pytest.raises(MarletError) as failure:
            m.wait_window(title, timeout=0)
        assert failure.value.message == f"Timed out after 0 ms waiting for window: {title}"


@pytest.mark.parametrize("title", ['say "hi"', "ends in a backslash\\", "two\nlines", "cr\rhere", ""])
def test_titles_the_tokenizer_cannot_carry_are_refused_before_anything_is_sent(host_marlet, title):
    with Recording(host_marlet) as m:
        with pytest.raises(ValueError):
            m.find(title)
        with pytest.raises(ValueError):
            m.windows(title or "\n")
        assert m.sent == []


@pytest.mark.parametrize("text", [
    'He said "hi"', "back\\slash\\", "  spaces at both ends  ", "line\nbreak\r\nand\rmore", "tab\tand \u00e9 \u65e5 \U0001F600",
    "", "\\u0041 is not an escape here", '"', "}{][",
])
def test_text_arrives_exactly(host_marlet, text):
    # The clipboard holds exactly what it was given, so it shows the encoding of text exactly; type
    # goes through the same encoding and the daemon's count of what it typed.
    with Marlet(host_marlet) as m:
        m.set_clipboard(text)
        assert m.clipboard() == text
        m.type(text)


@pytest.mark.parametrize("call", [
    lambda m: m.move(1.5, 2), lambda m: m.move("1", 2), lambda m: m.click(True, 2), lambda m: m.move(2 ** 31, 0),
    lambda m: m.type("lone \ud800 surrogate"), lambda m: m.press("ctrl\n+c"), lambda m: m.press(""),
    lambda m: m.click(1, 2, "left right"), lambda m: m.scroll(120, 5), lambda m: m.wait(-1),
    lambda m: m.drag(0, 0, 1, 1, duration=-0.5), lambda m: m.rect("0x1 2"), lambda m: m.rect(0),
    lambda m: m.move_window("0x1", 0, 0, 100), lambda m: m.set_clipboard("a\0b"), lambda m: m.type(b"bytes"),
    lambda m: m.control_text("0x1/Button 1"), lambda m: m.control_text("0x1/"), lambda m: m.control_text("x y/Edit1"),
    lambda m: m.choose("0x1/ComboBox1", True), lambda m: m.choose("0x1/ComboBox1", 1.5),
    lambda m: m.set_control_text("0x1", "a\0b"),
])
def test_arguments_that_cannot_be_expressed_raise_value_error_and_send_nothing(host_marlet, call):
    with Recording(host_marlet) as m:
        with pytest.raises(ValueError):
            call(m)
        assert m.sent == []
        assert m.position() == Point(0, 0)  # still in step


def test_an_error_answer_raises_marlet_error_and_the_instance_goes_on(host_marlet):
    with Marlet(host_marlet) as m:
        with pytest.raises(CommandError) as failure:
            m.press("nosuchkey")
        assert isinstance(failure.value, MarletError)
        assert failure.value.message == "Invalid key combo: nosuchkey"
        assert failure.value.command == "press nosuchkey"
        with pytest.raises(MarletError, match="Unknown command: frobnicate"):
            m.command("frobnicate 1")
        assert m.version() == "1.0.0"


def test_a_closed_instance_raises_marlet_exited(host_marlet):
    m = Marlet(host_marlet, timeout=0.5)
    assert m.close() == 0
    with pytest.raises(MarletExited):
        m.position()


def test_no_answer_in_time_raises_marlet_timeout(tmp_path):
    silent = tmp_path / "silent"  # starts, and never answers
    silent.write_text("#!/bin/sh\necho \"marlet daemon ready. Type 'help' for commands.\" >&2\nexec sleep 60\n")
    silent.chmod(0o755)
    m = Marlet(str(silent), timeout=0.3)
    started = time.monotonic()
    with pytest.raises(MarletTimeout):
        m.position()
    assert time.monotonic() - started < 5
    with pytest.raises(MarletExited):  # out of step: closed
        m.position()
    assert m._proc.poll() is not None


def test_a_daemon_killed_under_a_call_raises_marlet_exited_with_its_code_and_stderr(tmp_path):
    dying = tmp_path / "dying"
    dying.write_text("#!/bin/sh\necho \"marlet daemon ready. Type 'help' for commands.\" >&2\n"
                     "read line\necho 'fatal: gone' >&2\nexit 3\n")
    dying.chmod(0o755)
    m = Marlet(str(dying))
    with pytest.raises(MarletExited) as failure:
        m.position()
    assert failure.value.returncode == 3
    assert "fatal: gone" in failure.value.stderr


def test_the_last_stderr_lines_are_in_the_error_even_when_read_late(tmp_path, monkeypatch):
    # The process has ended before its last line is read (a busy machine): the error waits for it.
    dying = tmp_path / "dying"
    dying.write_text("#!/bin/sh\necho \"marlet daemon ready. Type 'help' for commands.\" >&2\n"
                     "read line\necho 'fatal: gone' >&2\nexit 3\n")
    dying.chmod(0o755)
    class LatePipe:
        def __init__(self, pipe):
            self.pipe = pipe

        def readline(self):
            line = self.pipe.readline()
            if line.startswith(b"fatal"):
                time.sleep(0.5)
            return line

    read_stderr = marlet.transport.Transport._read_stderr

    def late_reader(transport):
        transport._proc.stderr = LatePipe(transport._proc.stderr)
        read_stderr(transport)

    monkeypatch.setattr(marlet.transport.Transport, "_read_stderr", late_reader)
    m = Marlet(str(dying))
    with pytest.raises(MarletExited) as failure:
        m.position()
    assert failure.value.returncode == 3
    assert "fatal: gone" in failure.value.stderr


def test_a_daemon_killed_from_outside_mid_call(host_marlet):
    m = Marlet(host_marlet, timeout=30)
    killer = threading.Timer(0.3, m._proc.kill)
    killer.start()
    with pytest.raises(MarletExited) as failure:
        for _ in range(1000000):
            m.position()
    killer.join()
    assert failure.value.returncode == -9


def test_threads_sharing_one_instance_get_their_own_answers(host_marlet):
    with Marlet(host_marlet) as m:
        failures = []

        def worker(n):
            for i in range(100):
                title = f"window {n}-{i}"
                try:
                    m.find(title)
                except MarletError as e:
                    if e.message != f"Window not found: {title}":
                        failures.append((title, e.message))

        threads = [threading.Thread(target=worker, args=(n,)) for n in range(8)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        assert failures == []


def test_the_daemon_is_found_as_documented(host_marlet, tmp_path, monkeypatch):
    if sys.platform != "win32":  # a Windows program runs under wine, anything else as it is
        assert marlet._command_line("/x/marlet.exe")[1:] == ["/x/marlet.exe"]
        assert marlet._command_line(host_marlet) == [host_marlet]
    monkeypatch.setenv("MARLET_EXE", host_marlet)
    with Marlet() as m:
        assert m.version() == "1.0.0"
    monkeypatch.delenv("MARLET_EXE")
    monkeypatch.setenv("PATH", str(tmp_path))
    with pytest.raises(FileNotFoundError):
        Marlet()


def test_leaving_the_with_block_quits_the_daemon(host_marlet):
    with Marlet(host_marlet) as m:
        proc = m._proc
    assert proc.returncode == 0
    assert m.close() == 0  # closing again changes nothing


def test_close_of_none_is_refused_and_ends_nothing(host_marlet):
    with Marlet(host_marlet) as m:
        with pytest.raises(ValueError, match="close\\(None\\) names no window"):
            m.close(None)
        assert m.position() == Point(0, 0)  # the daemon is still there


def test_the_kinds_of_error_are_all_marlet_errors_and_only_answers_are_command_errors():
    import marlet
    for kind in (marlet.CommandError, marlet.MarletExited, marlet.MarletTimeout):
        assert issubclass(kind, marlet.MarletError)
    assert not issubclass(marlet.MarletExited, marlet.CommandError)
    assert not issubclass(marlet.MarletTimeout, marlet.CommandError)


def test_every_public_method_says_what_it_does():
    missing = [name for name, member in vars(Marlet).items()
               if callable(member) and not name.startswith("_") and not (member.__doc__ or "").strip()]
    assert missing == []
