"""The client: one Marlet instance is one daemon, each method one command and its answer."""

from __future__ import annotations

import base64
import json
import os
import threading
from typing import List, Optional, Sequence, Tuple, Union

# A template picture: PNG bytes, or the path of a PNG file (as the daemon's machine names it).
Image = Union[bytes, bytearray, memoryview, str, "os.PathLike[str]"]

from .errors import CommandError, MarletExited
from .transport import Transport, command_line, default_exe
from .values import Color, Control, ControlRef, Handle, Items, Point, Rect, Session, Window

__all__ = ["Marlet"]

_INT32 = (-(2 ** 31), 2 ** 31 - 1)

# How long the daemon itself may take beyond the answer's own time, in seconds: the client waits
# this much on top of its timeout for the commands that wait for the desktop.
FOREGROUND_WAIT = 1.0  # focus: until the window is in front
ACTIVATION_WAIT = 2.0  # activate: its three requests, each until the window is in front
STATE_WAIT = 2.0  # minimize, maximize, restore, movewindow: until the window shows it
CLIPBOARD_WAIT = 1.0  # clipboard, setclipboard: while another program holds it open
SCREENSHOT_WAIT = 30.0  # screenshot: a whole screen captured and encoded on a slow machine
CONTROL_WAIT = 5.0  # the control commands: each message to a control may take 2 s, a check 2 s more
SEARCH_WAIT = 10.0  # the picture commands: a capture and a search beyond the deadline on a slow machine

# close()'s default: no window named, so the daemon is to end.
_NO_WINDOW = object()


def _int32(value: object, what: str) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise ValueError(f"{what} must be an integer, not {value!r}")
    if not _INT32[0] <= value <= _INT32[1]:
        raise ValueError(f"{what} {value} is outside the 32-bit range")
    return value


def _xy(x: object, y: object) -> str:
    return f"{_int32(x, 'x')},{_int32(y, 'y')}"


def _ms(seconds: float, what: str) -> int:
    if isinstance(seconds, bool) or not isinstance(seconds, (int, float)) or seconds != seconds:
        raise ValueError(f"{what} must be a number of seconds, not {seconds!r}")
    if seconds < 0:
        raise ValueError(f"{what} must not be negative")
    ms = round(seconds * 1000)
    if ms > _INT32[1]:
        raise ValueError(f"{what} {seconds} s is too long")
    return ms


def _one_line(text: str, what: str) -> str:
    if not isinstance(text, str):
        raise ValueError(f"{what} must be a string, not {text!r}")
    if "\n" in text or "\r" in text:
        raise ValueError(f"{what} cannot hold a line break: {text!r}")
    return text


def _quoted(title: str) -> str:
    """A title as one argument that the daemon's tokenizer gives back unchanged: in double quotes.
    A title the tokenizer cannot carry (a double quote inside, a backslash at its end) is refused."""
    _one_line(title, "title")
    if not title:
        raise ValueError("title must not be empty")
    if '"' in title:
        raise ValueError(f"a title with a double quote cannot be sent: {title!r}")
    if title.endswith("\\"):
        raise ValueError(f"a title that ends in a backslash cannot be sent: {title!r}")
    return f'"{title}"'


def _json_text(text: str, what: str) -> str:
    if not isinstance(text, str):
        raise ValueError(f"{what} must be a string, not {text!r}")
    if any(0xD800 <= ord(c) <= 0xDFFF for c in text):
        raise ValueError(f"{what} holds a lone surrogate, which is no character")
    return json.dumps(text, ensure_ascii=True)


def _keys(keys: Union[str, Sequence[str]]) -> str:
    combo = keys if isinstance(keys, str) else "+".join(keys)
    _one_line(combo, "keys")
    if not combo.strip():
        raise ValueError("no key named")
    return combo


def _button(button: str) -> str:
    _one_line(button, "button")
    if not button or " " in button or "," in button or '"' in button:
        raise ValueError(f"not a button name: {button!r}")
    return button


def _handle(window: Handle) -> str:
    if isinstance(window, Window):
        return window.hwnd
    if isinstance(window, bool):
        raise ValueError(f"not a window handle: {window!r}")
    if isinstance(window, int):
        if window <= 0:
            raise ValueError(f"not a window handle: {window!r}")
        return hex(window)
    if isinstance(window, str) and window and window.strip() == window and " " not in window and \
            '"' not in window and "\n" not in window and "\r" not in window:
        return window
    raise ValueError(f"not a window handle: {window!r}")


def _control(control: ControlRef) -> str:
    if isinstance(control, Control):
        return control.hwnd
    if isinstance(control, str) and "/" in control:
        window, _, name = control.partition("/")
        _handle(window)
        if not name or any(c in name for c in ' \t"\r\n'):
            raise ValueError(f"not a control name: {control!r}")
        return control
    return _handle(control)


def _region(region: Union[Rect, Sequence[int]]) -> str:
    """A region as X,Y,W,H: a Rect, or x, y, width and height."""
    if isinstance(region, Rect):
        x, y, w, h = region.left, region.top, region.width, region.height
    else:
        try:
            x, y, w, h = region
        except (TypeError, ValueError):
            raise ValueError(f"a region is a Rect or x, y, width, height, not {region!r}") from None
    return f"{_xy(x, y)},{_int32(w, 'width')},{_int32(h, 'height')}"


def _image(image: Image) -> str:
    if isinstance(image, (bytes, bytearray, memoryview)):
        data = bytes(image)
        if not data:
            raise ValueError("the template's PNG is empty")
        return "base64:" + base64.b64encode(data).decode("ascii")
    if isinstance(image, str) or hasattr(image, "__fspath__"):
        path = os.fspath(image)
        if isinstance(path, str) and path.startswith("base64:"):
            raise ValueError(f"a path cannot start with base64: {path!r}")
        return _quoted(path)
    raise ValueError(f"a template is PNG bytes or a path, not {image!r}")


def _tolerance(tolerance: int) -> int:
    if isinstance(tolerance, bool) or not isinstance(tolerance, int) or not 0 <= tolerance <= 255:
        raise ValueError(f"tolerance must be an integer from 0 to 255, not {tolerance!r}")
    return tolerance


def _search(image: Image, region: Optional[Union[Rect, Sequence[int]]], tolerance: int) -> str:
    """IMAGE [X,Y,W,H] [TOLERANCE] as the picture commands take them."""
    words = _image(image)
    if region is not None:
        words += " " + _region(region)
    if _tolerance(tolerance):
        words += f" {tolerance}"
    return words


def _found(answer: dict) -> Rect:
    return Rect(answer["left"], answer["top"], answer["right"], answer["bottom"])


class Marlet:
    """One marlet daemon, started on construction and ended by close() or the end of a with block.

    exe: the program to start (default: MARLET_EXE, else marlet.exe on PATH, else beside this
    package); on a system other than Windows a .exe runs under wine. timeout: seconds to wait for
    each answer (waits that take time of their own get that time on top). One lock per instance:
    threads may share it, each call is one command and its answer.
    """

    def __init__(self, exe: Optional[str] = None, *, timeout: float = 10.0) -> None:
        self.timeout = timeout
        self._lock = threading.RLock()
        self._transport = Transport(command_line(exe or default_exe()), timeout)

    # -- plumbing -----------------------------------------------------------------------------

    @property
    def _proc(self):  # the daemon's process, for tests that end it from outside
        return self._transport.process

    def _send(self, line: str) -> None:
        """Writes one command line (the one place a line goes out)."""
        self._transport.send(line)

    def _ask_lines(self, line: str, count: int, extra: float = 0.0) -> List[dict]:
        with self._lock:
            self._send(line)
            return self._transport.receive(line, count, self.timeout + extra)

    def _ask(self, line: str, extra: float = 0.0) -> dict:
        answer = self._ask_lines(line, 1, extra)[0]
        if answer.get("status") == "error":
            raise CommandError(answer.get("message", ""), line)
        return answer

    def command(self, line: str, extra: float = 0.0) -> dict:
        """Sends one command line as it is and answers the daemon's reply, parsed (a command that
        this client has no method for yet)."""
        return self._ask(_one_line(line, "command"), extra)

    # -- life -----------------------------------------------------------------------------------

    def close(self, window: object = _NO_WINDOW, *, timeout: Optional[float] = None) -> Optional[int]:
        """close(): asks the daemon to quit and waits for it (killing it if it does not exit
        within `timeout`, default the instance's); answers its exit status. Closing twice does
        nothing more. close(window) closes that window, as close_window does; close(None) names
        no window and is refused (ValueError), so that a missing window never ends the daemon."""
        if window is None:
            raise ValueError("close(None) names no window: close() ends the daemon, close_window(w) closes a window")
        if window is not _NO_WINDOW:
            self.close_window(window)  # type: ignore[arg-type]
            return None
        with self._lock:
            if not self._transport.closed:
                try:
                    self._send("quit")
                except MarletExited:
                    pass
            return self._transport.finish(self.timeout if timeout is None else timeout)

    def close_window(self, window: Handle) -> None:
        """Asks the window to close, as its close button does (the window may ask to save first);
        wait_close tells when it is gone."""
        self._ask(f"close {_handle(window)}")

    def __enter__(self) -> "Marlet":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    @property
    def stderr(self) -> str:
        """The last lines the daemon wrote on standard error."""
        return self._transport.stderr

    # -- general --------------------------------------------------------------------------------

    def version(self) -> str:
        """The daemon's version."""
        first, second = self._ask_lines("version", 2)
        if first.get("status") == "error":
            raise CommandError(first.get("message", ""), "version")
        return second["version"]

    def wait(self, seconds: float) -> None:
        """The daemon sleeps (its commands queue behind it)."""
        ms = _ms(seconds, "wait")
        self._ask(f"wait {ms}", extra=ms / 1000)

    def session(self) -> Session:
        """Where marlet's input goes: its Windows session, the input desktop, and whether a user
        can receive it."""
        a = self._ask("session")
        return Session(a["session"], a["desktop"], a["interactive"])

    # -- pointer --------------------------------------------------------------------------------

    def move(self, x: int, y: int) -> None:
        """Moves the pointer to the virtual-screen pixel x, y."""
        self._ask(f"move {_xy(x, y)}")

    def click(self, x: int, y: int, button: str = "left") -> None:
        """Moves to x, y and clicks `button` ("left", "right", "middle") there."""
        self._ask(f"click {_xy(x, y)} {_button(button)}")

    def right_click(self, x: int, y: int, button: str = "right") -> None:
        """Moves to x, y and clicks the right button there (or `button`)."""
        self._ask(f"rclick {_xy(x, y)} {_button(button)}")

    def double_click(self, x: int, y: int, button: str = "left") -> None:
        """Moves to x, y and double-clicks there, as the system counts a double-click."""
        self._ask(f"dclick {_xy(x, y)} {_button(button)}")

    def _wheel(self, word: str, amount: int, x: Optional[int], y: Optional[int]) -> None:
        line = f"{word} {_int32(amount, 'amount')}"
        if (x is None) != (y is None):
            raise ValueError("give both x and y, or neither")
        if x is not None:
            line += " " + _xy(x, y)
        self._ask(line)

    def scroll(self, amount: int, x: Optional[int] = None, y: Optional[int] = None) -> None:
        """Turns the wheel by `amount` (120 a notch, positive away from the user), at x, y or where
        the pointer is."""
        self._wheel("scroll", amount, x, y)

    def hscroll(self, amount: int, x: Optional[int] = None, y: Optional[int] = None) -> None:
        """Turns the horizontal wheel (positive to the right)."""
        self._wheel("hscroll", amount, x, y)

    def move_by(self, dx: int, dy: int) -> None:
        """Moves the pointer by dx, dy from where it is (kept on the screen)."""
        self._ask(f"moveby {_int32(dx, 'dx')},{_int32(dy, 'dy')}")

    def drag(self, x1: int, y1: int, x2: int, y2: int, button: str = "left", duration: float = 0.1) -> None:
        """Presses the button at x1, y1, moves to x2, y2 over `duration` seconds, releases it."""
        ms = _ms(duration, "duration")
        self._ask(f"drag {_xy(x1, y1)} {_xy(x2, y2)} {_button(button)} {ms}", extra=ms / 1000)

    def _button_line(self, word: str, x: Optional[int], y: Optional[int], button: str) -> str:
        if (x is None) != (y is None):
            raise ValueError("give both x and y, or neither")
        line = word if x is None else f"{word} {_xy(x, y)}"
        return f"{line} {_button(button)}"

    def mouse_down(self, x: Optional[int] = None, y: Optional[int] = None, button: str = "left") -> None:
        """The button goes down (at x, y if given) and stays down until mouse_up."""
        self._ask(self._button_line("mousedown", x, y, button))

    def mouse_up(self, x: Optional[int] = None, y: Optional[int] = None, button: str = "left") -> None:
        """The button comes up (at x, y if given)."""
        self._ask(self._button_line("mouseup", x, y, button))

    def position(self) -> Point:
        """Where the pointer is."""
        a = self._ask("pos")
        return Point(a["x"], a["y"])

    def screen(self) -> Rect:
        """The virtual screen: all monitors, in physical pixels."""
        a = self._ask("screen")
        return Rect(a["left"], a["top"], a["right"], a["bottom"])

    # -- keyboard -------------------------------------------------------------------------------

    def type(self, text: str, interval: float = 0.0) -> None:
        """Types exactly `text`: quotes, backslashes, spaces at either end, line breaks (as Enter)
        and any Unicode character; `interval` seconds between characters."""
        line = "typejson " + _json_text(text, "text")
        ms = _ms(interval, "interval")
        if ms:
            line += f" {ms}"
        self._ask(line, extra=ms * len(text) / 1000)

    def press(self, keys: Union[str, Sequence[str]]) -> None:
        """Presses a key combination ("ctrl+s", ["alt", "f4"]) and releases it."""
        self._ask(f"press {_keys(keys)}")

    def key_down(self, keys: Union[str, Sequence[str]]) -> None:
        """The keys go down and stay down until key_up (or until marlet ends)."""
        self._ask(f"down {_keys(keys)}")

    def key_up(self, keys: Union[str, Sequence[str]]) -> None:
        """The keys come up (whether key_down put them down or not)."""
        self._ask(f"up {_keys(keys)}")

    # -- windows --------------------------------------------------------------------------------

    def find(self, title: str) -> str:
        """The handle of the first top-level window whose title contains `title`."""
        return self._ask(f"find {_quoted(title)}")["hwnd"]

    def windows(self, title: str = "") -> List[Window]:
        """The visible top-level windows, front first (with `title`: those whose title holds it)."""
        line = "windows" if title == "" else f"windows {_quoted(title)}"
        return [Window(w["hwnd"], w["title"], w["class"], w["pid"], Rect(w["left"], w["top"], w["right"], w["bottom"]),
                       w["minimized"], w["maximized"], w["foreground"]) for w in self._ask(line)["windows"]]

    def active(self) -> Tuple[str, str]:
        """The foreground window's handle and title."""
        a = self._ask("active")
        return a["hwnd"], a["title"]

    def rect(self, window: Handle) -> Rect:
        """The window's frame as a person sees it."""
        a = self._ask(f"rect {_handle(window)}")
        return Rect(a["left"], a["top"], a["right"], a["bottom"])

    def client_rect(self, window: Handle) -> Rect:
        """The window's client area, in virtual-screen pixels."""
        a = self._ask(f"client {_handle(window)}")
        return Rect(a["left"], a["top"], a["right"], a["bottom"])

    def focus(self, window: Handle) -> None:
        """Brings the window to the foreground (restoring it when minimised) and returns once it
        is there."""
        self._ask(f"focus {_handle(window)}", extra=FOREGROUND_WAIT)

    def activate(self, window: Handle) -> None:
        """Brings the window to the foreground even when marlet is not the foreground process."""
        self._ask(f"activate {_handle(window)}", extra=ACTIVATION_WAIT)

    def minimize(self, window: Handle) -> None:
        """Minimises the window and returns once it is."""
        self._ask(f"minimize {_handle(window)}", extra=STATE_WAIT)

    def maximize(self, window: Handle) -> None:
        """Maximises the window and returns once it is."""
        self._ask(f"maximize {_handle(window)}", extra=STATE_WAIT)

    def restore(self, window: Handle) -> None:
        """Restores the window to its normal size and returns once it is."""
        self._ask(f"restore {_handle(window)}", extra=STATE_WAIT)

    def move_window(self, window: Handle, x: int, y: int, width: Optional[int] = None,
                    height: Optional[int] = None) -> None:
        """Places the window's frame at x, y (and sizes it, when width and height are given)."""
        line = f"movewindow {_handle(window)} {_xy(x, y)}"
        if (width is None) != (height is None):
            raise ValueError("give both width and height, or neither")
        if width is not None:
            if _int32(width, "width") <= 0 or _int32(height, "height") <= 0:
                raise ValueError("width and height must be positive")
            line += f" {width},{height}"
        self._ask(line, extra=STATE_WAIT)

    def wait_window(self, title: str, timeout: float = 10.0) -> str:
        """The handle of a visible window whose title contains `title`, as soon as there is one."""
        ms = _ms(timeout, "timeout")
        return self._ask(f"waitwindow {ms} {_quoted(title)}", extra=ms / 1000)["hwnd"]

    def wait_close(self, window: Handle, timeout: float = 10.0) -> None:
        """Returns as soon as the window no longer exists."""
        ms = _ms(timeout, "timeout")
        self._ask(f"waitclose {ms} {_handle(window)}", extra=ms / 1000)

    # -- screen ---------------------------------------------------------------------------------

    def pixel(self, x: int, y: int) -> Color:
        """The colour of the screen's pixel at x, y."""
        a = self._ask(f"pixel {_xy(x, y)}")
        return Color(a["r"], a["g"], a["b"])

    def screenshot(self, region: Optional[Union[Rect, Sequence[int]]] = None,
                   path: Optional[Union[str, "os.PathLike[str]"]] = None,
                   size: Optional[Sequence[int]] = None) -> Union[bytes, str]:
        """A PNG of the whole virtual screen or of `region` (a Rect, or x, y, width, height):
        its bytes, or with `path` the path of the file the daemon wrote. With `size` (width,
        height) the picture is fitted inside it, box-filtered, never enlarged."""
        line = "screenshot"
        if region is not None:
            line += " " + _region(region)
        if size is not None:
            try:
                w, h = size
            except (TypeError, ValueError):
                raise ValueError(f"a size is width, height, not {size!r}") from None
            for v in (w, h):
                if isinstance(v, bool) or not isinstance(v, int) or not 1 <= v <= 65535:
                    raise ValueError(f"a size's sides are integers from 1 to 65535, not {size!r}")
            line += f" {w}x{h}"
        if path is not None:
            line += " " + _quoted(os.fspath(path))
        answer = self._ask(line, extra=SCREENSHOT_WAIT)
        return answer["path"] if path is not None else base64.b64decode(answer["png"])

    def find_image(self, image: Image, region: Optional[Union[Rect, Sequence[int]]] = None,
                   tolerance: int = 0) -> Optional[Rect]:
        """Where the template picture (PNG bytes or a path) first lies on the screen or in
        `region`, row by row from the top left; None when it is nowhere. Each of red, green and
        blue may differ by `tolerance`; pixels with alpha below 128 match anything. Cut templates
        from marlet's own screenshots: the search does not scale."""
        try:
            return _found(self._ask("findimage " + _search(image, region, tolerance), extra=SEARCH_WAIT))
        except CommandError as e:
            if e.message == "Image not found":
                return None
            raise

    def find_images(self, image: Image, region: Optional[Union[Rect, Sequence[int]]] = None,
                    tolerance: int = 0) -> List[Rect]:
        """Every place the template lies, none overlapping another, at most 1,000."""
        answer = self._ask("findimages " + _search(image, region, tolerance), extra=SEARCH_WAIT)
        return [_found(m) for m in answer["matches"]]

    def wait_image(self, image: Image, timeout: float = 10.0, region: Optional[Union[Rect, Sequence[int]]] = None,
                   tolerance: int = 0) -> Rect:
        """Where the template lies, as soon as it is on the screen (looked for every 50 ms)."""
        ms = _ms(timeout, "timeout")
        line = f"waitimage {ms} " + _search(image, region, tolerance)
        return _found(self._ask(line, extra=ms / 1000 + SEARCH_WAIT))

    def wait_image_gone(self, image: Image, timeout: float = 10.0,
                        region: Optional[Union[Rect, Sequence[int]]] = None, tolerance: int = 0) -> None:
        """Returns as soon as the template is nowhere on the screen (or in `region`)."""
        ms = _ms(timeout, "timeout")
        self._ask(f"waitimagegone {ms} " + _search(image, region, tolerance), extra=ms / 1000 + SEARCH_WAIT)

    def wait_pixel(self, x: int, y: int, color: Union[Color, Sequence[int]], timeout: float = 10.0,
                   tolerance: int = 0) -> Color:
        """The pixel's colour, as soon as it is `color` (each channel within `tolerance`)."""
        try:
            r, g, b = color
        except (TypeError, ValueError):
            raise ValueError(f"a colour is r, g, b, not {color!r}") from None
        for v in (r, g, b):
            if isinstance(v, bool) or not isinstance(v, int) or not 0 <= v <= 255:
                raise ValueError(f"a colour's channels are integers from 0 to 255, not {color!r}")
        ms = _ms(timeout, "timeout")
        line = f"waitpixel {ms} {_xy(x, y)} {r},{g},{b}"
        if _tolerance(tolerance):
            line += f" {tolerance}"
        a = self._ask(line, extra=ms / 1000 + SEARCH_WAIT)
        return Color(a["r"], a["g"], a["b"])

    def wait_still(self, region: Union[Rect, Sequence[int]], quiet: float, timeout: float = 10.0) -> None:
        """Returns once the region has not changed for `quiet` seconds."""
        ms = _ms(timeout, "timeout")
        self._ask(f"waitstill {ms} {_region(region)} {_ms(quiet, 'quiet')}", extra=ms / 1000 + SEARCH_WAIT)

    # -- clipboard ------------------------------------------------------------------------------

    def clipboard(self) -> str:
        """The clipboard's text ("" when it holds none)."""
        return self._ask("clipboard", extra=CLIPBOARD_WAIT)["text"]

    def set_clipboard(self, text: str) -> None:
        """Puts exactly `text` on the clipboard."""
        if "\0" in str(text):
            raise ValueError("clipboard text cannot hold U+0000")
        self._ask("setclipboard " + _json_text(text, "text"), extra=CLIPBOARD_WAIT)

    # -- controls -------------------------------------------------------------------------------

    def controls(self, window: Handle) -> List[Control]:
        """Every control inside the window (its descendants, in the system's order), with class,
        ClassNN, id, text (None for a password field), rectangle and state."""
        answer = self._ask(f"controls {_handle(window)}", extra=CONTROL_WAIT)
        return [Control(c["hwnd"], c["parent"], c["id"], c["class"], c["classnn"], c.get("text"),
                        c.get("password", False), Rect(c["left"], c["top"], c["right"], c["bottom"]),
                        c["visible"], c["enabled"]) for c in answer["controls"]]

    def control_text(self, control: ControlRef) -> str:
        """The control's whole text, as it answers it (a password field is refused)."""
        return self._ask(f"controltext {_control(control)}", extra=CONTROL_WAIT)["text"]

    def set_control_text(self, control: ControlRef, text: str) -> None:
        """Sets the control's text, and returns once the control answers that text."""
        if "\0" in str(text):
            raise ValueError("control text cannot hold U+0000")
        self._ask(f"setcontroltext {_control(control)} {_json_text(text, 'text')}", extra=CONTROL_WAIT)

    def control_click(self, control: ControlRef) -> None:
        """Presses a button as its keyboard shortcut would, or clicks any other control at its
        centre, without moving the pointer."""
        self._ask(f"controlclick {_control(control)}", extra=CONTROL_WAIT)

    def check(self, control: ControlRef) -> None:
        """Checks a check box or radio button (as a click does), and returns once it is checked."""
        self._ask(f"check {_control(control)}", extra=CONTROL_WAIT)

    def uncheck(self, control: ControlRef) -> None:
        """Unchecks a check box, and returns once it is unchecked."""
        self._ask(f"uncheck {_control(control)}", extra=CONTROL_WAIT)

    def choose(self, control: ControlRef, entry: Union[str, int]) -> int:
        """Selects an entry of a combo box or list box, by its text (exact, else the first that
        starts with it; letters A-Z in any case) or by its index from 0, and tells the program as
        a person's choice does. The index of the entry chosen."""
        if isinstance(entry, bool) or not isinstance(entry, (str, int)):
            raise ValueError(f"an entry is a text or an index, not {entry!r}")
        choice = f"#{_int32(entry, 'index')}" if isinstance(entry, int) else _json_text(entry, "entry")
        return self._ask(f"choose {_control(control)} {choice}", extra=CONTROL_WAIT)["index"]

    def items(self, control: ControlRef) -> Items:
        """A combo box's or list box's entries, or a list view's rows, and the selection."""
        answer = self._ask(f"items {_control(control)}", extra=CONTROL_WAIT)
        return Items(answer["items"], answer["selected"])
