"""The errors the client raises: all are MarletError, so one except clause catches every kind."""

from __future__ import annotations

from typing import Optional

__all__ = ["MarletError", "CommandError", "MarletExited", "MarletTimeout"]


class MarletError(Exception):
    """Anything that went wrong with marlet: an error it answered (CommandError), its end
    (MarletExited) or an answer that did not come (MarletTimeout). `message` is the text; for an
    answered error, `command` is the line that was sent."""

    def __init__(self, message: str, command: str = "") -> None:
        super().__init__(message)
        self.message = message
        self.command = command


class CommandError(MarletError):
    """The daemon answered a command with an error; `message` is its text, `command` the line."""


class MarletExited(MarletError):
    """The daemon is no longer running: `returncode` is its exit status, `stderr` the last lines it
    wrote on standard error."""

    def __init__(self, returncode: Optional[int], stderr: str) -> None:
        text = f"marlet exited with status {returncode}"
        if stderr:
            text += ": " + stderr.strip().splitlines()[-1]
        super().__init__(text)
        self.returncode = returncode
        self.stderr = stderr


class MarletTimeout(MarletError):
    """No answer came in time. The stream is out of step after that, so the instance is closed."""
