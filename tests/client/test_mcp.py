"""The MCP server (marlet-mcp) against the host daemon over real pipes: a whole session, every
JSON-RPC error, version negotiation, tool failures, hostile lines, read-only mode, what is held when
the input ends, and the coordinate mapping."""

import base64
import io
import json
import os
import queue
import subprocess
import sys
import threading
import time
from pathlib import Path

import pytest
from PIL import Image

from daemon_process import wallpaper
from marlet.mcp import LATEST_VERSION, MOST_IMAGE_BASE64, View

ROOT = Path(__file__).resolve().parents[2]
DEADLINE = 20.0


class McpServer:
    """marlet-mcp as an MCP client starts it: one line of JSON a message on its pipes."""

    def __init__(self, exe, *args):
        env = dict(os.environ, PYTHONPATH=str(ROOT / "clients" / "python"))
        self.proc = subprocess.Popen([sys.executable, "-m", "marlet.mcp", "--exe", str(exe), *args], env=env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.lines = queue.Queue()
        self.stderr = []
        threading.Thread(target=self._read, args=(self.proc.stdout, self.lines.put, True), daemon=True).start()
        threading.Thread(target=self._read, args=(self.proc.stderr, self.stderr.append, False), daemon=True).start()
        self.next_id = 0

    @staticmethod
    def _read(stream, put, mark_end):
        for line in iter(stream.readline, b""):
            put(line)
        if mark_end:
            put(None)

    def send_raw(self, data: bytes):
        self.proc.stdin.write(data + b"\n")
        self.proc.stdin.flush()

    def send(self, message):
        self.send_raw(json.dumps(message).encode())

    def receive(self, timeout=DEADLINE):
        line = self.lines.get(timeout=timeout)
        assert line is not None, "the server ended; stderr: %r" % self.stderr
        assert line.endswith(b"\n")
        return json.loads(line)

    def nothing_within(self, seconds):
        with pytest.raises(queue.Empty):
            self.lines.get(timeout=seconds)

    def request(self, method, params=None):
        self.next_id += 1
        message = {"jsonrpc": "2.0", "id": self.next_id, "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)
        answer = self.receive()
        assert answer["id"] == self.next_id, answer
        return answer

    def call(self, name, **arguments):
        answer = self.request("tools/call", {"name": name, "arguments": arguments})
        assert "result" in answer, answer
        return answer["result"]

    def text(self, name, **arguments):
        result = self.call(name, **arguments)
        assert result["isError"] is False, result
        return result["content"][0]["text"]

    def initialize(self, version=LATEST_VERSION):
        answer = self.request("initialize", {"protocolVersion": version, "capabilities": {},
                                             "clientInfo": {"name": "test", "version": "1"}})
        self.send({"jsonrpc": "2.0", "method": "notifications/initialized"})
        return answer["result"]

    def end(self, timeout=DEADLINE):
        self.proc.stdin.close()
        return self.proc.wait(timeout)


@pytest.fixture
def server(host_marlet):
    s = McpServer(host_marlet)
    yield s
    if s.proc.poll() is None:
        s.proc.kill()
        s.proc.wait()


def test_a_whole_session_of_every_tool_ends_with_its_input(server, host_marlet, tmp_path):
    init = server.initialize()
    assert init["protocolVersion"] == LATEST_VERSION
    assert init["capabilities"] == {"tools": {"listChanged": False}}
    assert init["serverInfo"]["name"] == "marlet"
    assert server.request("ping")["result"] == {}
    tools = server.request("tools/list")["result"]["tools"]
    assert [t["name"] for t in tools] == ["computer", "windows", "window", "controls", "control", "find_image",
                                          "wait_image", "clipboard"]
    for t in tools:
        assert t["description"] and t["inputSchema"]["type"] == "object", t
    # A screenshot: scaled to fit the result, and its text says what it shows.
    shot = server.call("computer", action="screenshot")
    text, image = shot["content"]
    assert image["type"] == "image" and image["mimeType"] == "image/png"
    assert len(image["data"]) <= MOST_IMAGE_BASE64
    picture = Image.open(io.BytesIO(base64.b64decode(image["data"])))
    w, h = picture.size
    assert w <= 1568 and abs(w / h - 1920 / 1080) < 0.01
    assert f"x 0..1919, y 0..1079 (1920x1080 screen pixels), shown at {w}x{h}" in text["text"]
    # A point of the picture lands on the centre of the screen pixels it covers.
    view = View(0, 0, 1920, 1080, w, h)
    sx, sy = view.to_screen(w // 2, h // 3)
    assert server.text("computer", action="mouse_move", coordinate=[w // 2, h // 3]).endswith(
        f"({sx}, {sy}) on the screen.")
    assert f"({sx}, {sy}) on the screen" in server.text("computer", action="cursor_position")
    assert "(5, 6) on the screen" in server.text("computer", action="left_click", coordinate=[5, 6], space="screen")
    # Zoom: the screen's own pixels, and later coordinates are the zoom's.
    zoom = server.call("computer", action="zoom", region=[0, 0, 20, 10])
    zoomed = Image.open(io.BytesIO(base64.b64decode(zoom["content"][1]["data"]))).convert("RGB")
    zw, zh = zoomed.size
    assert (zw, zh) == view.region_to_screen(0, 0, 20, 10)[2:]
    assert zoomed.getpixel((3, 4)) == wallpaper(3, 4)
    assert "(7, 8) on the screen" in server.text("computer", action="mouse_move", coordinate=[7, 8])
    for action, extra in [("right_click", {}), ("middle_click", {}), ("double_click", {}), ("triple_click", {}),
                          ("left_click", {"modifiers": "ctrl+shift"}), ("left_mouse_down", {}), ("left_mouse_up", {}),
                          ("left_click_drag", {"start_coordinate": [1, 1], "coordinate": [9, 9]}),
                          ("scroll", {"scroll_direction": "down", "scroll_amount": 2}),
                          ("scroll", {"scroll_direction": "left"}),
                          ("type", {"text": "h\u00e9llo \"x\"\n"}), ("key", {"text": "ctrl+s Return"}),
                          ("hold_key", {"text": "shift", "duration": 0.05}), ("wait", {"duration": 0.05})]:
        result = server.call("computer", **{"action": action, "coordinate": [2, 3], **extra})
        assert result["isError"] is False, (action, result)
    assert json.loads(server.text("windows")) == []  # the simulated desktop has none
    # Failures are the tool's, told to the model.
    failed = server.call("window", action="wait_title", title="Nothing", timeout=0.1)
    assert failed == {"content": [{"type": "text", "text": "Timed out after 100 ms waiting for window: Nothing"}],
                      "isError": True}
    assert server.call("controls", hwnd="0x0")["content"][0]["text"] == "Invalid HWND"
    assert server.call("control", control="0x0/Edit1", action="text")["isError"] is True
    # A template cut from the zoom (scale 1) is found, in both spaces.
    cut = io.BytesIO()
    zoomed.crop((4, 2, 14, 8)).save(cut, "PNG")
    png = base64.b64encode(cut.getvalue()).decode()
    found = json.loads(server.text("find_image", png=png))
    assert found["screen"] == {"left": 4, "top": 2, "right": 14, "bottom": 8}
    assert found["picture"] == {"left": 4, "top": 2, "right": 14, "bottom": 8, "center": [9, 5]}
    assert json.loads(server.text("wait_image", png=png, timeout=1))["screen"]["left"] == 4
    assert server.call("wait_image", png=png, gone=True, timeout=0.1)["isError"] is True
    matches = json.loads(server.text("find_image", png=png, all=True, region=[0, 0, 300, 20], space="screen"))
    assert [m["screen"]["left"] for m in matches["matches"]] == [4, 260]
    assert server.text("clipboard", action="write", text="caf\u00e9") == "The clipboard holds the text."
    assert server.text("clipboard", action="read") == "caf\u00e9"
    assert server.end() == 0
    assert any(b"serving MCP" in line for line in server.stderr)


def test_versions_are_negotiated(server):
    assert server.initialize("2025-06-18")["protocolVersion"] == "2025-06-18"
    assert server.initialize("2024-11-05")["protocolVersion"] == "2024-11-05"
    assert server.initialize("1999-01-01")["protocolVersion"] == LATEST_VERSION


def test_every_json_rpc_error_is_answered_and_notifications_never_are(server):
    cases = [
        (b"not json", None, -32700),
        (b"{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"ping\"", None, -32700),
        (b"\xff\xfe{}", None, -32700),
        (b"[]", None, -32600),
        (b"5", None, -32600),
        (b"\"ping\"", None, -32600),
        (b'{"jsonrpc":"1.0","id":1,"method":"ping"}', 1, -32600),
        (b'{"id":2,"method":"ping"}', 2, -32600),
        (b'{"jsonrpc":"2.0","id":3}', 3, -32600),
        (b'{"jsonrpc":"2.0","id":4,"method":7}', 4, -32600),
        (b'{"jsonrpc":"2.0","id":true,"method":"ping"}', None, -32600),
        (b'{"jsonrpc":"2.0","id":null,"method":"ping"}', None, -32600),
        (b'{"jsonrpc":"2.0","id":{"a":1},"method":"ping"}', None, -32600),
        (b'{"jsonrpc":"2.0","id":5,"method":"resources/list"}', 5, -32601),
        (b'{"jsonrpc":"2.0","id":"six","method":"no/such"}', "six", -32601),
        (b'{"jsonrpc":"2.0","id":7,"method":"tools/call","params":{"name":"nope"}}', 7, -32602),
        (b'{"jsonrpc":"2.0","id":8,"method":"tools/call","params":{"name":"computer","arguments":"x"}}', 8, -32602),
        (b'{"jsonrpc":"2.0","id":9,"method":"tools/call","params":[1]}', 9, -32602),
        (b'{"jsonrpc":"2.0","id":10,"method":"initialize","params":{}}', 10, -32602),
    ]
    for line, id_, code in cases:
        server.send_raw(line)
        answer = server.receive()
        assert answer["jsonrpc"] == "2.0" and answer["id"] == id_ and answer["error"]["code"] == code, (line, answer)
        assert isinstance(answer["error"]["message"], str)
    server.send_raw(b'{"jsonrpc":"2.0","method":"no/such/notification"}')
    server.send_raw(b'{"jsonrpc":"2.0","method":"notifications/cancelled","params":{"requestId":1}}')
    server.send_raw(b'{"jsonrpc":"2.0","id":99,"result":{}}')  # a response to nothing of ours
    server.send_raw(b"   ")
    server.nothing_within(0.5)
    # A batch: each request answered in one array, notifications not.
    server.send_raw(b'[{"jsonrpc":"2.0","id":1,"method":"ping"},{"jsonrpc":"2.0","method":"x"},7]')
    assert server.receive() == [{"jsonrpc": "2.0", "id": 1, "result": {}},
                                {"jsonrpc": "2.0", "id": None, "error": {"code": -32600,
                                                                         "message": "Invalid Request: not an object"}}]
    assert server.request("ping")["result"] == {}


def test_hostile_lines_and_wrong_arguments_leave_it_answering(server):
    server.initialize()
    server.send_raw(b'{"jsonrpc":"2.0","id":1,"method":"ping","junk":"' + b"x" * (8 << 20) + b'"}')
    assert server.receive() == {"jsonrpc": "2.0", "id": 1, "result": {}}
    server.send_raw(b"[" * 100000)
    assert server.receive()["error"]["code"] == -32700
    server.send_raw(b"\x00\x01\x02")
    assert server.receive()["error"]["code"] == -32700
    for arguments, message in [
        ({"action": "fly"}, "action must be one of"),
        ({"action": "mouse_move", "coordinate": "here"}, "coordinate must be an array"),
        ({"action": "mouse_move", "coordinate": [1]}, "coordinate must hold 2 items"),
        ({"action": "mouse_move", "coordinate": [1.5, 2]}, "coordinate[0] must be an integer"),
        ({"action": "mouse_move", "coordinate": [True, 2]}, "coordinate[0] must be an integer"),
        ({"action": "mouse_move"}, "mouse_move needs coordinate"),
        ({"action": "type"}, "type needs text"),
        ({"action": "key", "text": "ctrl++"}, "not a key combination"),
        ({"action": "wait", "duration": -1}, "duration must be at least 0"),
        ({"action": "screenshot", "colour": 1}, "unknown argument colour"),
        ({}, "action is required"),
    ]:
        result = server.call("computer", **arguments)
        assert result["isError"] is True and message in result["content"][0]["text"], (arguments, result)
    assert server.call("find_image", png="!!")["content"][0]["text"] == "png must be a PNG in base64"
    assert server.call("find_image", png=base64.b64encode(b"hello").decode())["content"][0]["text"] == \
        "Not a PNG: base64 data"
    assert server.request("ping")["result"] == {}


def test_a_huge_line_is_refused_unread_and_the_next_is_answered(server):
    server.send_raw(b"x" * (65 << 20))
    answer = server.receive(timeout=60)
    assert answer["error"]["code"] == -32700 and "longer than" in answer["error"]["message"]
    assert server.request("ping")["result"] == {}


def test_read_only_serves_what_looks_and_refuses_every_input(host_marlet):
    s = McpServer(host_marlet, "--read-only")
    try:
        assert "Read-only" in s.initialize()["instructions"]
        assert s.call("computer", action="screenshot")["isError"] is False
        assert s.call("computer", action="cursor_position")["isError"] is False
        assert s.call("clipboard", action="read")["isError"] is False
        assert s.call("windows")["isError"] is False
        for name, arguments in [("computer", {"action": "left_click", "coordinate": [1, 1]}),
                                ("computer", {"action": "type", "text": "x"}),
                                ("computer", {"action": "key", "text": "enter"}),
                                ("computer", {"action": "hold_key", "text": "shift"}),
                                ("computer", {"action": "scroll", "scroll_direction": "up"}),
                                ("window", {"action": "close", "hwnd": "0x1"}),
                                ("control", {"control": "0x1/Edit1", "action": "set_text", "text": "x"}),
                                ("clipboard", {"action": "write", "text": "x"})]:
            result = s.call(name, **arguments)
            assert result["isError"] is True and "read-only" in result["content"][0]["text"], (name, result)
        assert s.end() == 0
    finally:
        if s.proc.poll() is None:
            s.proc.kill()


def test_input_that_ends_mid_hold_key_lets_the_key_go_at_once(tmp_path):
    """A stand-in daemon records what reaches it: the key goes down, comes up as soon as the input
    ends (not after the 60 s asked for), and the daemon is told to quit."""
    script = tmp_path / "script"
    script.write_text('{"status":"ok","data":1}\n' * 4, encoding="utf-8")
    stand_in = tmp_path / "marlet"
    stand_in.write_text(f"#!/bin/sh\nexec {sys.executable} {ROOT / 'tests' / 'client' / 'scripted_daemon.py'} {script}\n")
    stand_in.chmod(0o755)
    s = McpServer(stand_in)
    s.initialize()
    s.send({"jsonrpc": "2.0", "id": 50, "method": "tools/call",
            "params": {"name": "computer", "arguments": {"action": "hold_key", "text": "shift", "duration": 60}}})
    received = Path(str(script) + ".received")
    deadline = time.monotonic() + DEADLINE
    while "down shift" not in (received.read_text() if received.exists() else ""):
        assert time.monotonic() < deadline, "the key never went down"
        time.sleep(0.05)
    started = time.monotonic()
    assert s.end(timeout=DEADLINE) == 0
    assert time.monotonic() - started < 10
    assert received.read_text().splitlines() == ["down shift", "up shift", "quit"]


@pytest.mark.parametrize("view, picture_points", [
    (View(0, 0, 1920, 1080, 1920, 1080), [(0, 0), (1919, 1079), (960, 540)]),     # scale 1
    (View(0, 0, 1920, 1080, 960, 540), [(0, 0), (959, 539), (1, 1)]),             # factor 2
    (View(0, 0, 1920, 1080, 1568, 882), [(0, 0), (1567, 881), (784, 441)]),       # agent size
    (View(-1920, -200, 3840, 1280, 1568, 523), [(0, 0), (1567, 522), (100, 7)]),  # negative origin
    (View(10, 20, 7, 5, 3, 2), [(0, 0), (2, 1), (1, 0)]),                         # odd sizes
])
def test_picture_points_map_to_the_centre_of_the_screen_pixels_they_cover(view, picture_points):
    for px, py in picture_points:
        sx, sy = view.to_screen(px, py)
        # The screen pixel that holds the middle of the span the picture pixel covers.
        centre_x = view.left + (px + 0.5) * view.width / view.picture_width
        centre_y = view.top + (py + 0.5) * view.height / view.picture_height
        assert sx <= centre_x < sx + 1 and sy <= centre_y < sy + 1, ((px, py), (sx, sy))
        assert view.to_picture(sx, sy) == (px, py)
    # Every picture pixel along the edges maps back to itself.
    for px in range(view.picture_width):
        for py in (0, view.picture_height - 1):
            assert view.to_picture(*view.to_screen(px, py)) == (px, py)
    with pytest.raises(Exception, match="outside the latest screenshot"):
        view.to_screen(view.picture_width, 0)
    with pytest.raises(Exception, match="outside the latest screenshot"):
        view.to_screen(0, -1)
    assert view.to_picture(view.left - 1, view.top) is None
    assert view.to_picture(view.left + view.width, view.top) is None
    # The whole picture is the whole region.
    assert view.region_to_screen(0, 0, view.picture_width, view.picture_height) == (
        view.left, view.top, view.width, view.height)
