"""The MCP server with a client we did not write: the official TypeScript SDK
(@modelcontextprotocol/sdk, pinned in tests/client/sdk/package-lock.json) starts the server as the
README's configuration snippet says, over stdio, lists the tools and calls several."""

import base64
import io
import shutil
import subprocess
import sys

from PIL import Image

from mcp_bridge import ROOT, Bridge, readme_server_config


def installed_marlet_mcp(tmp_path):
    """The client package installed with pip into a venv of its own: its bin holds marlet-mcp."""
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip", str(venv)], check=True)
    source = tmp_path / "source"
    shutil.copytree(ROOT / "clients" / "python", source, ignore=shutil.ignore_patterns("build", "*.egg-info"))
    subprocess.run([str(venv / "bin" / "python"), "-m", "pip", "install", "-q", "--no-index", "--no-build-isolation",
                    str(source)], check=True, cwd=tmp_path)
    assert (venv / "bin" / "marlet-mcp").exists()
    return venv / "bin"


def test_the_sdk_client_talks_to_the_server_the_readme_snippet_starts(tmp_path, host_marlet):
    config = readme_server_config()
    assert config["command"] == "marlet-mcp" and "MARLET_EXE" in config["env"]
    # As written, but for where marlet is on this machine.
    server = dict(config, env=dict(config["env"], MARLET_EXE=host_marlet))
    bridge = Bridge(server, path_first=installed_marlet_mcp(tmp_path))
    try:
        assert bridge.hello["server"]["name"] == "marlet"
        assert bridge.hello["capabilities"]["tools"] == {"listChanged": False}
        tools = bridge.ask({"list": True})["tools"]
        assert {t["name"] for t in tools} == {"computer", "windows", "window", "controls", "control", "find_image",
                                              "wait_image", "clipboard"}
        shot = bridge.call("computer", action="screenshot")
        assert shot["content"][0]["type"] == "text" and shot["content"][1]["type"] == "image"
        w, h = Image.open(io.BytesIO(base64.b64decode(shot["content"][1]["data"]))).size
        assert f"shown at {w}x{h}" in shot["content"][0]["text"]
        moved = bridge.call("computer", action="mouse_move", coordinate=[w - 1, h - 1])
        assert moved["isError"] is False
        at = bridge.call("computer", action="cursor_position")["content"][0]["text"]
        assert f"({w - 1}, {h - 1}) in the latest picture" in at, at
        assert "on the screen" in at
        failed = bridge.call("window", action="wait_title", title="none such", timeout=0.1)
        assert failed["isError"] is True and "Timed out" in failed["content"][0]["text"]
        assert bridge.call("clipboard", action="write", text="from the SDK")["isError"] is False
        assert bridge.call("clipboard", action="read")["content"][0]["text"] == "from the SDK"
    finally:
        assert bridge.close() == 0
