"""Drive a Windows desktop from Python through marlet, the GUI automation daemon.

    from marlet import Marlet

    with Marlet() as m:
        notepad = m.wait_window("Notepad", timeout=5.0)
        m.activate(notepad)
        m.type('He said "hi"\\n')
        m.press("ctrl+s")

Every command of the daemon is a method that returns a value (a Point, a Rect, a Window, a Color,
PNG bytes, a handle) or None. Times are in seconds here and milliseconds on the wire. Every error
is a MarletError: a failure the daemon answers raises CommandError with its message; a daemon that
has exited raises MarletExited; an answer that does not come in time raises MarletTimeout.
"""

from .client import Marlet
from .errors import CommandError, MarletError, MarletExited, MarletTimeout
from .transport import BANNER
from .transport import command_line as _command_line  # noqa: F401  (the name before the split)
from .transport import default_exe as _default_exe  # noqa: F401
from .values import Color, Control, ControlRef, Handle, Items, Point, Rect, Session, Window

__all__ = [
    "Marlet", "MarletError", "CommandError", "MarletExited", "MarletTimeout", "Point", "Rect", "Window", "Color",
    "Session", "Handle", "Control", "Items", "ControlRef", "BANNER",
]
__version__ = "1.0.0"
