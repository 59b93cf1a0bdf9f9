"""marlet-mcp: a Model Context Protocol server on standard input and output, so that AI agents
drive Windows through marlet.

    marlet-mcp [--read-only] [--max-long-edge PX]      (also: python -m marlet.mcp)

It speaks MCP's stdio transport (JSON-RPC 2.0, one message a line), starts one marlet daemon as
the client does when a tool first needs it, and ends it, with every key and button released, when
its input ends. Logs go to standard error only; it opens no network port.

Coordinates: a screenshot is scaled down (its long edge at most 1,568 px by default, and its PNG
within the 1 MB a tool result may hold), and every coordinate a tool takes is a pixel of the
latest screenshot (or zoom) unless the call says "space": "screen". A point of the picture maps to
the centre of the screen pixels it covers, so a click on what the model sees lands on it.
"""

from __future__ import annotations

import argparse
import base64
import json
import sys
import threading
from typing import Any, Callable, Dict, List, Optional, Tuple

from . import __version__
from .client import Marlet
from .errors import MarletError, MarletExited, MarletTimeout

__all__ = ["Server", "View", "main", "SUPPORTED_VERSIONS", "LATEST_VERSION"]

# The protocol versions served, newest first: a client's own is answered when it is one of them.
SUPPORTED_VERSIONS = ("2025-11-25", "2025-06-18", "2025-03-26", "2024-11-05")
LATEST_VERSION = SUPPORTED_VERSIONS[0]

DEFAULT_LONG_EDGE = 1568
# A tool result must stay under 1 MB in the clients that limit it; the picture's base64 gets this
# much of it, the rest is the text and the JSON around them.
MOST_IMAGE_BASE64 = 1_000_000 - 16_384
MOST_LINE_BYTES = 64 << 20  # a longer request line is refused unread
MOST_WAIT_S = 300.0  # the longest wait or hold a tool takes

PARSE_ERROR, INVALID_REQUEST, METHOD_NOT_FOUND, INVALID_PARAMS, INTERNAL_ERROR = -32700, -32600, -32601, -32602, -32603


def log(text: str) -> None:
    print(f"marlet-mcp: {text}", file=sys.stderr, flush=True)


class ToolError(Exception):
    """A tool call that failed: its text goes back to the model as the result, with isError."""


# -- coordinates --------------------------------------------------------------------------------


class View:
    """What the latest picture shows: the screen region (left, top, width, height) and the
    picture's own size. Maps picture pixels to screen pixels and back, exactly."""

    def __init__(self, left: int, top: int, width: int, height: int, picture_width: int, picture_height: int):
        if min(width, height, picture_width, picture_height) <= 0:
            raise ValueError("a view needs positive sizes")
        self.left, self.top, self.width, self.height = left, top, width, height
        self.picture_width, self.picture_height = picture_width, picture_height

    def to_screen(self, x: int, y: int) -> Tuple[int, int]:
        """The screen pixel at the centre of the ones picture pixel (x, y) covers."""
        if not (0 <= x < self.picture_width and 0 <= y < self.picture_height):
            raise ToolError(f"({x}, {y}) is outside the latest screenshot, which is {self.picture_width}x"
                            f"{self.picture_height}: give a point of it, or \"space\": \"screen\"")
        return (self.left + (2 * x + 1) * self.width // (2 * self.picture_width),
                self.top + (2 * y + 1) * self.height // (2 * self.picture_height))

    def to_picture(self, x: int, y: int) -> Optional[Tuple[int, int]]:
        """The picture pixel that shows the centre of screen pixel (x, y) (so to_screen's answer
        maps back to where it came from); None when the picture does not show it."""
        dx, dy = x - self.left, y - self.top
        if not (0 <= dx < self.width and 0 <= dy < self.height):
            return None
        return ((2 * dx + 1) * self.picture_width // (2 * self.width),
                (2 * dy + 1) * self.picture_height // (2 * self.height))

    def region_to_screen(self, x1: int, y1: int, x2: int, y2: int) -> Tuple[int, int, int, int]:
        """The screen region (left, top, width, height) that picture rectangle [x1, x2) x [y1, y2)
        shows, in whole screen pixels."""
        if not (0 <= x1 < x2 <= self.picture_width and 0 <= y1 < y2 <= self.picture_height):
            raise ToolError(f"region [{x1}, {y1}, {x2}, {y2}] is not a rectangle inside the latest screenshot "
                            f"({self.picture_width}x{self.picture_height}): give x1 < x2 and y1 < y2 within it")
        left = self.left + x1 * self.width // self.picture_width
        top = self.top + y1 * self.height // self.picture_height
        right = self.left + -(-x2 * self.width // self.picture_width)
        bottom = self.top + -(-y2 * self.height // self.picture_height)
        return left, top, right - left, bottom - top

    @property
    def scale(self) -> float:
        return self.picture_width / self.width

    def describe(self) -> str:
        return (f"screen region x {self.left}..{self.left + self.width - 1}, y {self.top}..{self.top + self.height - 1} "
                f"({self.width}x{self.height} screen pixels), shown at {self.picture_width}x{self.picture_height} "
                f"(scale {self.scale:.4g})")


# -- tool schemas -------------------------------------------------------------------------------

_POINT = {"type": "array", "items": {"type": "integer"}, "minItems": 2, "maxItems": 2}
_SPACE = {"type": "string", "enum": ["picture", "screen"],
          "description": "picture (default): pixels of the latest screenshot or zoom; screen: virtual-screen pixels"}
_HWND = {"type": "string", "description": "a window handle as the windows tool lists it, e.g. 0x1a2b"}

INPUT_ACTIONS = ("mouse_move", "left_click", "right_click", "middle_click", "double_click", "triple_click",
                 "left_click_drag", "left_mouse_down", "left_mouse_up", "scroll", "type", "key", "hold_key")
LOOK_ACTIONS = ("screenshot", "zoom", "cursor_position", "wait")

TOOLS: List[Dict[str, Any]] = [
    {
        "name": "computer",
        "title": "Screen, pointer and keyboard",
        "description": (
            "See and drive the Windows desktop. screenshot: the whole screen, scaled so its long edge is at most "
            "{edge} px; its text says the screen region it shows and the scale. Coordinates you give (coordinate, "
            "start_coordinate, region) are pixels of the latest screenshot or zoom unless space is \"screen\"; "
            "they land on exactly what you saw. zoom: region [x1, y1, x2, y2] of the latest picture at the screen's "
            "own resolution (later coordinates are pixels of the zoom). Clicks take modifiers such as \"ctrl\" or "
            "\"shift+alt\", held during the click. key: a combination such as \"ctrl+s\", \"alt+f4\", \"Return\" "
            "(several separated by spaces are pressed in turn). hold_key: a key held for duration seconds, always "
            "released. scroll: scroll_direction up/down/left/right, scroll_amount notches. wait: duration seconds."
        ),
        "inputSchema": {
            "type": "object",
            "properties": {
                "action": {"type": "string", "enum": list(LOOK_ACTIONS + INPUT_ACTIONS)},
                "coordinate": {**_POINT, "description": "[x, y]"},
                "start_coordinate": {**_POINT, "description": "[x, y] where left_click_drag starts"},
                "region": {"type": "array", "items": {"type": "integer"}, "minItems": 4, "maxItems": 4,
                           "description": "[x1, y1, x2, y2] for zoom (x2, y2 exclusive)"},
                "text": {"type": "string", "description": "what type types, or the keys of key and hold_key"},
                "modifiers": {"type": "string", "description": "keys held during a click, e.g. ctrl or shift+ctrl"},
                "scroll_direction": {"type": "string", "enum": ["up", "down", "left", "right"]},
                "scroll_amount": {"type": "integer", "minimum": 1, "maximum": 100},
                "duration": {"type": "number", "minimum": 0, "maximum": MOST_WAIT_S},
                "space": _SPACE,
            },
            "required": ["action"],
            "additionalProperties": False,
        },
    },
    {
        "name": "windows",
        "title": "List windows",
        "description": "The visible top-level windows, front first: handle, title, class, process id, frame "
                       "rectangle in screen pixels, minimized, maximized, and which one is in the foreground.",
        "inputSchema": {"type": "object", "properties": {
            "title": {"type": "string", "description": "only windows whose title contains this"}},
            "additionalProperties": False},
    },
    {
        "name": "window",
        "title": "Steer a window",
        "description": "activate (bring to the foreground), minimize, maximize, restore, close (as its close button), "
                       "move (frame to x, y, optionally width and height, screen pixels), wait_title (the handle of a "
                       "window whose title contains title, as soon as there is one), wait_close (until hwnd is gone).",
        "inputSchema": {"type": "object", "properties": {
            "action": {"type": "string", "enum": ["activate", "minimize", "maximize", "restore", "close", "move",
                                                  "wait_title", "wait_close"]},
            "hwnd": _HWND, "title": {"type": "string"},
            "x": {"type": "integer"}, "y": {"type": "integer"},
            "width": {"type": "integer", "minimum": 1}, "height": {"type": "integer", "minimum": 1},
            "timeout": {"type": "number", "minimum": 0, "maximum": MOST_WAIT_S, "description": "seconds (default 10)"}},
            "required": ["action"], "additionalProperties": False},
    },
    {
        "name": "controls",
        "title": "List a window's controls",
        "description": "Every child control of a window (buttons, fields, lists): handle, class, ClassNN, id, text "
                       "(none for a password field), rectangle in screen pixels, visible, enabled.",
        "inputSchema": {"type": "object", "properties": {"hwnd": _HWND}, "required": ["hwnd"],
                        "additionalProperties": False},
    },
    {
        "name": "control",
        "title": "Read or steer a control",
        "description": "A control named by its handle, HWND/ClassNN (0x1a2b/Edit1) or HWND/#ID, steered by its own "
                       "messages (no pointer, no keyboard): text (read), set_text, click, check, uncheck, choose (an "
                       "entry of a combo or list box by text, or by index), items (a list's entries and selection).",
        "inputSchema": {"type": "object", "properties": {
            "control": {"type": "string"},
            "action": {"type": "string", "enum": ["text", "set_text", "click", "check", "uncheck", "choose", "items"]},
            "text": {"type": "string", "description": "for set_text, and choose by text"},
            "index": {"type": "integer", "minimum": 0, "description": "for choose by index"}},
            "required": ["control", "action"], "additionalProperties": False},
    },
    {
        "name": "find_image",
        "title": "Find a picture on the screen",
        "description": "Where a template picture (PNG, base64) lies on the screen: the first match, or with all every "
                       "match. Cut templates from screenshots at scale 1 (zoom), as the search does not scale. region "
                       "[x1, y1, x2, y2] limits the search; tolerance (0 to 255) lets each colour channel differ. "
                       "Answers rectangles in the latest picture's pixels and in screen pixels.",
        "inputSchema": {"type": "object", "properties": {
            "png": {"type": "string", "description": "the template, a PNG in base64"},
            "region": {"type": "array", "items": {"type": "integer"}, "minItems": 4, "maxItems": 4},
            "tolerance": {"type": "integer", "minimum": 0, "maximum": 255},
            "all": {"type": "boolean"}, "space": _SPACE},
            "required": ["png"], "additionalProperties": False},
    },
    {
        "name": "wait_image",
        "title": "Wait for a picture",
        "description": "Waits until a template picture (PNG, base64) is on the screen (or, with gone, until it is "
                       "not), looking every 50 ms, for at most timeout seconds (default 10).",
        "inputSchema": {"type": "object", "properties": {
            "png": {"type": "string"},
            "region": {"type": "array", "items": {"type": "integer"}, "minItems": 4, "maxItems": 4},
            "tolerance": {"type": "integer", "minimum": 0, "maximum": 255},
            "gone": {"type": "boolean"},
            "timeout": {"type": "number", "minimum": 0, "maximum": MOST_WAIT_S}, "space": _SPACE},
            "required": ["png"], "additionalProperties": False},
    },
    {
        "name": "clipboard",
        "title": "Clipboard",
        "description": "read: the clipboard's text; write: puts text on it exactly.",
        "inputSchema": {"type": "object", "properties": {
            "action": {"type": "string", "enum": ["read", "write"]}, "text": {"type": "string"}},
            "required": ["action"], "additionalProperties": False},
    },
]

# What --read-only serves: what looks, never what acts.
def _read_only_allows(name: str, args: Dict[str, Any]) -> bool:
    action = args.get("action")
    if name == "computer":
        return action in LOOK_ACTIONS
    if name == "window":
        return action in ("wait_title", "wait_close")
    if name == "control":
        return action in ("text", "items")
    if name == "clipboard":
        return action == "read"
    return name in ("windows", "controls", "find_image", "wait_image")


# -- argument checks ----------------------------------------------------------------------------

_TYPES = {"string": str, "integer": int, "number": (int, float), "boolean": bool, "array": list, "object": dict}


def _check(value: Any, schema: Dict[str, Any], where: str) -> None:
    """The few JSON Schema rules the tools' schemas use, checked so that a model hears what is wrong."""
    kind = schema.get("type")
    if kind:
        ok = isinstance(value, _TYPES[kind]) and not (kind in ("integer", "number") and isinstance(value, bool))
        if kind == "number" and isinstance(value, float) and value != value:
            ok = False
        if not ok:
            raise ToolError(f"{where} must be {'an' if kind[0] in 'aeiou' else 'a'} {kind}, not {json.dumps(value)}")
    if "enum" in schema and value not in schema["enum"]:
        raise ToolError(f"{where} must be one of {', '.join(map(str, schema['enum']))}, not {json.dumps(value)}")
    if "minimum" in schema and value < schema["minimum"]:
        raise ToolError(f"{where} must be at least {schema['minimum']}")
    if "maximum" in schema and value > schema["maximum"]:
        raise ToolError(f"{where} must be at most {schema['maximum']}")
    if kind == "array":
        if len(value) < schema.get("minItems", 0) or len(value) > schema.get("maxItems", len(value)):
            raise ToolError(f"{where} must hold {schema.get('minItems')} items")
        for i, item in enumerate(value):
            _check(item, schema.get("items", {}), f"{where}[{i}]")
    if kind == "object":
        props = schema.get("properties", {})
        for name in schema.get("required", []):
            if name not in value:
                raise ToolError(f"{where}: {name} is required")
        for name, item in value.items():
            if name not in props:
                if schema.get("additionalProperties") is False:
                    raise ToolError(f"{where}: unknown argument {name}")
                continue
            _check(item, props[name], f"{name}")


# xdotool's and other tools' key names, in the words marlet's press takes.
_KEY_NAMES = {
    "return": "enter", "kp_enter": "numenter", "esc": "escape", "backspace": "backspace", "bksp": "backspace",
    "del": "delete", "page_up": "pgup", "pageup": "pgup", "prior": "pgup", "page_down": "pgdn", "pagedown": "pgdn",
    "next": "pgdn", "super_l": "win", "super_r": "win", "meta": "win", "control_l": "ctrl", "control_r": "ctrl",
    "shift_l": "shift", "shift_r": "shift", "alt_l": "alt", "alt_r": "alt", "caps_lock": "caps", "num_lock": "numlock",
    "scroll_lock": "scrolllock", "print": "printscreen", "arrowup": "up", "arrowdown": "down", "arrowleft": "left",
    "arrowright": "right", "option": "alt", "command": "win",
}


def _combo(keys: str) -> str:
    parts = [p for p in keys.strip().split("+")]
    if not keys.strip() or any(not p.strip() for p in parts):
        raise ToolError(f"not a key combination: {json.dumps(keys)}")
    out = []
    for p in parts:
        p = p.strip()
        mapped = _KEY_NAMES.get(p.lower())
        if mapped is None and p.lower().startswith("kp_") and p[3:].isdigit():
            mapped = "num" + p[3:]
        out.append(mapped or (p.lower() if len(p) > 1 else p))
    return "+".join(out)


# -- the server ---------------------------------------------------------------------------------


class Server:
    """One MCP session over a pair of byte streams."""

    def __init__(self, read_only: bool = False, long_edge: int = DEFAULT_LONG_EDGE, exe: Optional[str] = None,
                 out=None, marlet_factory: Optional[Callable[[], Marlet]] = None):
        self.read_only = read_only
        self.long_edge = long_edge
        self._exe = exe
        self._out = out if out is not None else sys.stdout.buffer
        self._write_lock = threading.Lock()
        self._marlet: Optional[Marlet] = None
        self._factory = marlet_factory or (lambda: Marlet(self._exe))
        self.view: Optional[View] = None
        self.stopping = threading.Event()  # the input ended: waits and holds end at once
        self._calls: List[Tuple[Any, Dict[str, Any]]] = []
        self._calls_ready = threading.Condition()
        self._worker = threading.Thread(target=self._work, name="marlet-mcp tools", daemon=True)
        self._worker.start()

    # -- output

    def _write(self, message: Any) -> None:
        data = json.dumps(message, ensure_ascii=False, separators=(",", ":")).encode("utf-8") + b"\n"
        with self._write_lock:
            try:
                self._out.write(data)
                self._out.flush()
            except (BrokenPipeError, OSError, ValueError):
                self.stopping.set()

    def _result(self, id_: Any, result: Any) -> None:
        self._write({"jsonrpc": "2.0", "id": id_, "result": result})

    def _error(self, id_: Any, code: int, message: str) -> Dict[str, Any]:
        return {"jsonrpc": "2.0", "id": id_, "error": {"code": code, "message": message}}

    # -- input

    def serve(self, stream) -> None:
        """Reads messages until the input ends, then ends the daemon."""
        try:
            while True:
                line = stream.readline(MOST_LINE_BYTES + 1)
                if not line:
                    break
                if len(line) > MOST_LINE_BYTES and not line.endswith(b"\n"):
                    while True:  # the rest of the line, unread
                        more = stream.readline(1 << 20)
                        if not more or more.endswith(b"\n"):
                            break
                    self._write(self._error(None, PARSE_ERROR, f"Parse error: a line longer than {MOST_LINE_BYTES} bytes"))
                    continue
                self.receive(line)
        finally:
            self.shutdown()

    def receive(self, line: bytes) -> None:
        """One line of input: a message, a batch of them, or junk."""
        if not line.strip():
            return
        try:
            message = json.loads(line.decode("utf-8"))
        except (UnicodeDecodeError, ValueError, RecursionError) as e:
            self._write(self._error(None, PARSE_ERROR, f"Parse error: {type(e).__name__}"))
            return
        if isinstance(message, list):
            if not message:
                self._write(self._error(None, INVALID_REQUEST, "Invalid Request: an empty batch"))
                return
            answers = [a for a in (self._dispatch(m, batch=True) for m in message) if a is not None]
            if answers:
                self._write(answers)
            return
        answer = self._dispatch(message)
        if answer is not None:
            self._write(answer)

    def _dispatch(self, message: Any, batch: bool = False) -> Optional[Dict[str, Any]]:
        """Answers a request at once, queues a tool call (answered by the worker), or ignores a
        notification or a response. Answers None when the answer is not now."""
        if not isinstance(message, dict):
            return self._error(None, INVALID_REQUEST, "Invalid Request: not an object")
        has_id = "id" in message
        id_ = message.get("id")
        if has_id and (isinstance(id_, bool) or not isinstance(id_, (str, int)) or
                       (isinstance(id_, int) and abs(id_) > 2 ** 53)):
            return self._error(None, INVALID_REQUEST, "Invalid Request: id must be a string or an integer")
        if message.get("jsonrpc") != "2.0":
            return self._error(id_ if has_id else None, INVALID_REQUEST, 'Invalid Request: jsonrpc must be "2.0"')
        method = message.get("method")
        if method is None and has_id and ("result" in message or "error" in message):
            return None  # a response to a request of ours: we send none
        if not isinstance(method, str):
            return self._error(id_ if has_id else None, INVALID_REQUEST, "Invalid Request: method must be a string")
        params = message.get("params", {})
        if not has_id:
            return None  # notifications: initialized, cancelled, and any we do not know
        if not isinstance(params, dict):
            return self._error(id_, INVALID_PARAMS, "Invalid params: params must be an object")
        try:
            if method == "initialize":
                return {"jsonrpc": "2.0", "id": id_, "result": self._initialize(params)}
            if method == "ping":
                return {"jsonrpc": "2.0", "id": id_, "result": {}}
            if method == "tools/list":
                return {"jsonrpc": "2.0", "id": id_, "result": {"tools": self._tool_list()}}
            if method == "tools/call":
                name = params.get("name")
                arguments = params.get("arguments", {})
                if not isinstance(name, str) or name not in {t["name"] for t in TOOLS}:
                    return self._error(id_, INVALID_PARAMS, f"Invalid params: unknown tool {json.dumps(name)}")
                if not isinstance(arguments, dict):
                    return self._error(id_, INVALID_PARAMS, "Invalid params: arguments must be an object")
                if batch:  # a call in a batch is answered in it
                    return {"jsonrpc": "2.0", "id": id_, "result": self._call(name, arguments)}
                with self._calls_ready:
                    self._calls.append((id_, params))
                    self._calls_ready.notify()
                return None
        except _ParamsError as e:
            return self._error(id_, INVALID_PARAMS, f"Invalid params: {e}")
        return self._error(id_, METHOD_NOT_FOUND, f"Method not found: {method}")

    def _initialize(self, params: Dict[str, Any]) -> Dict[str, Any]:
        wanted = params.get("protocolVersion")
        if not isinstance(wanted, str):
            raise _ParamsError("protocolVersion must be a string")
        version = wanted if wanted in SUPPORTED_VERSIONS else LATEST_VERSION
        return {
            "protocolVersion": version,
            "capabilities": {"tools": {"listChanged": False}},
            "serverInfo": {"name": "marlet", "title": "marlet: exact Windows automation", "version": __version__},
            "instructions": ("Take a screenshot first; coordinates are pixels of the latest screenshot (or zoom) and "
                             "land exactly on what you saw." + (" Read-only: input tools are refused."
                                                               if self.read_only else "")),
        }

    def _tool_list(self) -> List[Dict[str, Any]]:
        tools = json.loads(json.dumps(TOOLS))
        tools[0]["description"] = tools[0]["description"].format(edge=self.long_edge)
        if self.read_only:
            for t in tools:
                t["description"] += " (Read-only server: only what looks is served.)"
        return tools

    # -- tool calls

    def _work(self) -> None:
        while True:
            with self._calls_ready:
                while not self._calls:
                    self._calls_ready.wait()
                id_, params = self._calls.pop(0)
            if id_ is _STOP:
                return
            result = self._call(params["name"], params.get("arguments", {}))
            self._result(id_, result)

    def _call(self, name: str, args: Dict[str, Any]) -> Dict[str, Any]:
        try:
            tool = next(t for t in TOOLS if t["name"] == name)
            _check(args, tool["inputSchema"], "arguments")
            if self.read_only and not _read_only_allows(name, args):
                raise ToolError(f"marlet-mcp runs read-only: {name} {args.get('action', '')} would act on the "
                                "desktop, and is refused".replace("  ", " "))
            content = getattr(self, "_tool_" + name)(args)
            return {"content": content, "isError": False}
        except ToolError as e:
            return {"content": [{"type": "text", "text": str(e)}], "isError": True}
        except (MarletExited, MarletTimeout) as e:
            # The daemon is gone, or out of step with us: the next call starts another.
            self._drop_marlet()
            return {"content": [{"type": "text", "text": f"marlet stopped: {e}"}], "isError": True}
        except MarletError as e:
            return {"content": [{"type": "text", "text": e.message}], "isError": True}
        except Exception as e:  # a fault of ours: told to the model and the log, never a crash
            log(f"{name} failed: {type(e).__name__}: {e}")
            return {"content": [{"type": "text", "text": f"internal error: {type(e).__name__}: {e}"}], "isError": True}

    def marlet(self) -> Marlet:
        if self._marlet is None:
            self._marlet = self._factory()
        return self._marlet

    def _drop_marlet(self) -> None:
        m, self._marlet = self._marlet, None
        if m is not None:
            try:
                m.close()
            except MarletError:
                pass

    def shutdown(self) -> None:
        """The input ended: the calls already read are still made, but a hold or a wait of ours
        ends at once (releasing what it held); then the daemon ends, letting go of anything still
        down."""
        self.stopping.set()
        with self._calls_ready:
            self._calls.append((_STOP, {}))
            self._calls_ready.notify()
        self._worker.join()
        self._drop_marlet()

    def _current_view(self) -> View:
        if self.view is None:
            s = self.marlet().screen()
            self.view = View(s.left, s.top, s.width, s.height, s.width, s.height)
        return self.view

    def _point(self, args: Dict[str, Any], name: str = "coordinate") -> Optional[Tuple[int, int]]:
        """The screen pixel an argument names; None when it is not given."""
        if name not in args:
            return None
        x, y = args[name]
        if args.get("space") == "screen":
            return x, y
        return self._current_view().to_screen(x, y)

    def _pause(self, seconds: float) -> bool:
        """Waits, unless the input ends first; whether the whole time passed."""
        return not self.stopping.wait(seconds)

    def _picture(self, region: Optional[Tuple[int, int, int, int]], box: Optional[int]) -> Tuple[View, str]:
        """A PNG of the region (the whole screen when None) fitted inside box x box (none: full
        resolution), made smaller until its base64 fits a tool result."""
        m = self.marlet()
        while True:
            line = "screenshot"
            if region is not None:
                line += " %d,%d,%d,%d" % region
            if box is not None:
                line += f" {box}x{box}"
            answer = m.command(line, extra=30.0)
            png = answer["png"]
            view = View(answer["left"], answer["top"], answer["width"], answer["height"],
                        answer.get("picturewidth", answer["width"]), answer.get("pictureheight", answer["height"]))
            if len(png) <= MOST_IMAGE_BASE64:
                return view, png
            # PNG size goes about with the pixel count: aim a little under the limit.
            shrink = min(0.9, (MOST_IMAGE_BASE64 / len(png)) ** 0.5 * 0.95)
            box = max(1, int(max(view.picture_width, view.picture_height) * shrink))
            log(f"a {len(png)}-byte picture is too large for a tool result: fitting it to {box}x{box}")

    def _picture_content(self, view: View, png: str, what: str) -> List[Dict[str, Any]]:
        self.view = view
        text = (f"{what}: {view.describe()}. Coordinates you give are pixels of this picture "
                f"(0..{view.picture_width - 1}, 0..{view.picture_height - 1}) unless space is \"screen\".")
        return [{"type": "text", "text": text}, {"type": "image", "data": png, "mimeType": "image/png"}]

    def _where(self, sx: int, sy: int) -> str:
        view = self._current_view()
        p = view.to_picture(sx, sy)
        shown = f"({p[0]}, {p[1]}) in the latest picture" if p else "outside the latest picture"
        return f"{shown}, ({sx}, {sy}) on the screen"

    def _held(self, modifiers: Optional[str], act: Callable[[], None]) -> None:
        if not modifiers:
            act()
            return
        keys = _combo(modifiers)
        m = self.marlet()
        m.key_down(keys)
        try:
            act()
        finally:
            m.key_up(keys)

    def _tool_computer(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        action = args["action"]
        m = self.marlet()
        text = lambda s: [{"type": "text", "text": s}]  # noqa: E731
        if action == "screenshot":
            return self._picture_content(*self._picture(None, self.long_edge), "Screenshot")
        if action == "zoom":
            if "region" not in args:
                raise ToolError("zoom needs region [x1, y1, x2, y2]")
            x1, y1, x2, y2 = args["region"]
            if args.get("space") == "screen":
                region = (x1, y1, x2 - x1, y2 - y1)
                if region[2] <= 0 or region[3] <= 0:
                    raise ToolError("zoom's region needs x1 < x2 and y1 < y2")
            else:
                region = self._current_view().region_to_screen(x1, y1, x2, y2)
            return self._picture_content(*self._picture(region, None), "Zoom")
        if action == "cursor_position":
            p = m.position()
            return text(f"The pointer is at {self._where(p.x, p.y)}.")
        if action == "wait":
            seconds = args.get("duration", 1.0)
            self._pause(seconds)
            return text(f"Waited {seconds:g} s.")
        if action in ("type", "key", "hold_key") and not isinstance(args.get("text"), str):
            raise ToolError(f"{action} needs text")
        if action == "type":
            m.type(args["text"])
            return text(f"Typed {len(args['text'])} characters.")
        if action == "key":
            for combo in args["text"].split():
                m.press(_combo(combo))
            return text(f"Pressed {args['text']}.")
        if action == "hold_key":
            keys = _combo(args["text"])
            seconds = args.get("duration", 1.0)
            m.key_down(keys)
            try:
                self._pause(seconds)
            finally:
                m.key_up(keys)
            return text(f"Held {args['text']} for {seconds:g} s.")
        if action == "scroll":
            direction = args.get("scroll_direction")
            if direction is None:
                raise ToolError("scroll needs scroll_direction")
            amount = args.get("scroll_amount", 3) * 120
            at = self._point(args)
            x, y = at if at else (None, None)
            if direction in ("up", "down"):
                self._held(args.get("modifiers"), lambda: m.scroll(amount if direction == "up" else -amount, x, y))
            else:
                self._held(args.get("modifiers"), lambda: m.hscroll(amount if direction == "right" else -amount, x, y))
            return text(f"Scrolled {direction} {amount // 120} notches" + (f" at {self._where(x, y)}." if at else "."))
        if action == "left_click_drag":
            if "start_coordinate" not in args or "coordinate" not in args:
                raise ToolError("left_click_drag needs start_coordinate and coordinate")
            (x1, y1), (x2, y2) = self._point(args, "start_coordinate"), self._point(args)
            self._held(args.get("modifiers"), lambda: m.drag(x1, y1, x2, y2))
            return text(f"Dragged from {self._where(x1, y1)} to {self._where(x2, y2)}.")
        at = self._point(args)
        if at is None and action == "mouse_move":
            raise ToolError("mouse_move needs coordinate")
        if at is None:
            p = m.position()
            at = (p.x, p.y)
        x, y = at
        if action == "mouse_move":
            m.move(x, y)
            return text(f"Moved the pointer to {self._where(x, y)}.")
        if action == "left_mouse_down":
            m.mouse_down(x, y)
            return text(f"Left button down at {self._where(x, y)}.")
        if action == "left_mouse_up":
            m.mouse_up(x, y)
            return text(f"Left button up at {self._where(x, y)}.")
        clicks = {"left_click": lambda: m.click(x, y), "right_click": lambda: m.click(x, y, "right"),
                  "middle_click": lambda: m.click(x, y, "middle"), "double_click": lambda: m.double_click(x, y),
                  "triple_click": lambda: (m.double_click(x, y), m.click(x, y))}
        self._held(args.get("modifiers"), clicks[action])
        return text(f"{action.replace('_', ' ').capitalize()} at {self._where(x, y)}.")

    def _tool_windows(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        listed = [{"hwnd": w.hwnd, "title": w.title, "class": w.class_name, "pid": w.pid,
                   "rect": {"left": w.rect.left, "top": w.rect.top, "right": w.rect.right, "bottom": w.rect.bottom},
                   "minimized": w.minimized, "maximized": w.maximized, "foreground": w.foreground}
                  for w in self.marlet().windows(args.get("title", ""))]
        return [{"type": "text", "text": json.dumps(listed, ensure_ascii=False)}]

    def _tool_window(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        m, action = self.marlet(), args["action"]
        timeout = args.get("timeout", 10.0)
        if action == "wait_title":
            if not args.get("title"):
                raise ToolError("wait_title needs title")
            return [{"type": "text", "text": m.wait_window(args["title"], timeout)}]
        if "hwnd" not in args:
            raise ToolError(f"{action} needs hwnd")
        hwnd = args["hwnd"]
        if action == "move":
            if "x" not in args or "y" not in args:
                raise ToolError("move needs x and y")
            m.move_window(hwnd, args["x"], args["y"], args.get("width"), args.get("height"))
        elif action == "wait_close":
            m.wait_close(hwnd, timeout)
        elif action == "close":
            m.close_window(hwnd)
        else:
            getattr(m, action)(hwnd)
        return [{"type": "text", "text": f"{action}: done"}]

    def _tool_controls(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        listed = [{"hwnd": c.hwnd, "parent": c.parent, "id": c.id, "class": c.class_name, "classnn": c.classnn,
                   "text": c.text, "password": c.password,
                   "rect": {"left": c.rect.left, "top": c.rect.top, "right": c.rect.right, "bottom": c.rect.bottom},
                   "visible": c.visible, "enabled": c.enabled}
                  for c in self.marlet().controls(args["hwnd"])]
        return [{"type": "text", "text": json.dumps(listed, ensure_ascii=False)}]

    def _tool_control(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        m, action, control = self.marlet(), args["action"], args["control"]
        if action == "text":
            return [{"type": "text", "text": m.control_text(control)}]
        if action == "items":
            items = m.items(control)
            return [{"type": "text", "text": json.dumps({"items": items.items, "selected": items.selected},
                                                        ensure_ascii=False)}]
        if action == "set_text":
            if "text" not in args:
                raise ToolError("set_text needs text")
            m.set_control_text(control, args["text"])
        elif action == "choose":
            if ("text" in args) == ("index" in args):
                raise ToolError("choose needs text or index")
            index = m.choose(control, args["text"] if "text" in args else args["index"])
            return [{"type": "text", "text": f"chose entry {index}"}]
        elif action == "click":
            m.control_click(control)
        else:
            getattr(m, action)(control)
        return [{"type": "text", "text": f"{action}: done"}]

    def _search_args(self, args: Dict[str, Any]) -> Tuple[bytes, Optional[Tuple[int, int, int, int]], int]:
        try:
            png = base64.b64decode(args["png"], validate=True)
        except ValueError:
            raise ToolError("png must be a PNG in base64") from None
        region = None
        if "region" in args:
            x1, y1, x2, y2 = args["region"]
            if args.get("space") == "screen":
                if x2 <= x1 or y2 <= y1:
                    raise ToolError("region needs x1 < x2 and y1 < y2")
                region = (x1, y1, x2 - x1, y2 - y1)
            else:
                region = self._current_view().region_to_screen(x1, y1, x2, y2)
        return png, region, args.get("tolerance", 0)

    def _found(self, r) -> Dict[str, Any]:
        found: Dict[str, Any] = {"screen": {"left": r.left, "top": r.top, "right": r.right, "bottom": r.bottom}}
        view = self._current_view()
        top_left = view.to_picture(r.left, r.top)
        bottom_right = view.to_picture(r.right - 1, r.bottom - 1)
        centre = view.to_picture(*r.center)
        if top_left and bottom_right and centre:
            found["picture"] = {"left": top_left[0], "top": top_left[1], "right": bottom_right[0] + 1,
                                "bottom": bottom_right[1] + 1, "center": list(centre)}
        return found

    def _tool_find_image(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        png, region, tolerance = self._search_args(args)
        m = self.marlet()
        if args.get("all"):
            found = [self._found(r) for r in m.find_images(png, region, tolerance)]
            return [{"type": "text", "text": json.dumps({"matches": found})}]
        r = m.find_image(png, region, tolerance)
        if r is None:
            raise ToolError("Image not found")
        return [{"type": "text", "text": json.dumps(self._found(r))}]

    def _tool_wait_image(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        png, region, tolerance = self._search_args(args)
        timeout = args.get("timeout", 10.0)
        m = self.marlet()
        if args.get("gone"):
            m.wait_image_gone(png, timeout, region, tolerance)
            return [{"type": "text", "text": "The image is gone."}]
        return [{"type": "text", "text": json.dumps(self._found(m.wait_image(png, timeout, region, tolerance)))}]

    def _tool_clipboard(self, args: Dict[str, Any]) -> List[Dict[str, Any]]:
        m = self.marlet()
        if args["action"] == "read":
            return [{"type": "text", "text": m.clipboard()}]
        if "text" not in args:
            raise ToolError("write needs text")
        m.set_clipboard(args["text"])
        return [{"type": "text", "text": "The clipboard holds the text."}]


class _ParamsError(Exception):
    """Params that a method cannot take: answered as JSON-RPC's invalid params."""


_STOP = object()  # the worker's signal to end


def main(argv: Optional[List[str]] = None) -> int:
    parser = argparse.ArgumentParser(prog="marlet-mcp", description=__doc__.split("\n\n")[0])
    parser.add_argument("--read-only", action="store_true",
                        help="serve only what looks (screenshots, windows, controls' text, clipboard read)")
    parser.add_argument("--max-long-edge", type=int, default=DEFAULT_LONG_EDGE, metavar="PX",
                        help=f"a screenshot's longest side at most (default {DEFAULT_LONG_EDGE})")
    parser.add_argument("--exe", help="marlet.exe to start (default: MARLET_EXE, PATH, beside the package)")
    args = parser.parse_args(argv)
    if not 16 <= args.max_long_edge <= 65535:
        parser.error("--max-long-edge must be between 16 and 65535")
    server = Server(read_only=args.read_only, long_edge=args.max_long_edge, exe=args.exe)
    log(f"serving MCP {LATEST_VERSION} on standard input and output" + (" (read-only)" if args.read_only else ""))
    server.serve(sys.stdin.buffer)
    return 0


if __name__ == "__main__":
    sys.exit(main())
