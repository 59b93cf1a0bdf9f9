"""The values the client's methods return and take."""

from __future__ import annotations

from typing import List, NamedTuple, Optional, Union

__all__ = ["Point", "Rect", "Window", "Color", "Session", "Handle", "Control", "Items", "ControlRef"]


class Point(NamedTuple):
    """A virtual-screen pixel (or an offset): x to the right, y down."""

    x: int
    y: int


class Rect(NamedTuple):
    """A rectangle in virtual-screen pixels; right and bottom lie one pixel beyond it."""

    left: int
    top: int
    right: int
    bottom: int

    @property
    def width(self) -> int:
        return self.right - self.left

    @property
    def height(self) -> int:
        return self.bottom - self.top

    @property
    def center(self) -> Point:
        return Point((self.left + self.right) // 2, (self.top + self.bottom) // 2)


class Window(NamedTuple):
    """A top-level window as `windows` lists it."""

    hwnd: str
    title: str
    class_name: str
    pid: int
    rect: Rect
    minimized: bool
    maximized: bool
    foreground: bool


class Color(NamedTuple):
    """A pixel's red, green and blue, 0 to 255 each."""

    r: int
    g: int
    b: int


class Session(NamedTuple):
    """Where marlet's input goes: the Windows session, the input desktop's name, and whether a
    user receives it."""

    session: int
    desktop: str
    interactive: bool


# A window as the methods take it: the handle text `find` answers, its number, or a Window.
Handle = Union[str, int, Window]


class Control(NamedTuple):
    """A control inside a window as `controls` lists it. text is None for a password field, whose
    text is never read (password is then True)."""

    hwnd: str
    parent: str
    id: int
    class_name: str
    classnn: str
    text: Optional[str]
    password: bool
    rect: Rect
    visible: bool
    enabled: bool


class Items(NamedTuple):
    """The entries of a combo box or list box (texts), or a list view's rows (in report view, each
    a list of its column texts), and the selected one's index (-1: none)."""

    items: List[Union[str, List[str]]]
    selected: int


# A control as the methods take it: its handle (text or number), "WINDOW/ClassNN" such as
# "0x1a2b/Button2", "WINDOW/#ID" such as "0x1a2b/#1001", or a Control.
ControlRef = Union[str, int, Control]
