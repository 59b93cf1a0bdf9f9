"""The MCP server under Wine, driven by the official SDK's client: a click given in the scaled
screenshot's pixels lands on the probe window's pixel that the mapping names."""

import base64
import io
import sys

from PIL import Image

from conftest import MARLET_EXE, ROOT, Probe
from mcp_bridge import Bridge

sys.path.insert(0, str(ROOT / "clients" / "python"))
from marlet.mcp import View  # noqa: E402

LEFT, TOP, W, H = 400, 300, 600, 400


def test_a_click_in_screenshot_pixels_lands_on_the_pixel_the_mapping_names(wine_env):
    probe = Probe(wine_env, "marlet mcp probe", (LEFT, TOP, W, H))
    # What an MCP client passes: the server's command and its environment (Wine's, here).
    env = {name: wine_env[name] for name in ("DISPLAY", "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES")}
    env.update(MARLET_EXE=str(MARLET_EXE), PYTHONPATH=str(ROOT / "clients" / "python"))
    bridge = Bridge({"command": sys.executable, "args": ["-m", "marlet.mcp"], "env": env})
    try:
        assert bridge.call("window", action="activate", hwnd=probe.hwnd_text)["isError"] is False
        shot = bridge.call("computer", action="screenshot")
        assert shot["isError"] is False, shot
        w, h = Image.open(io.BytesIO(base64.b64decode(shot["content"][1]["data"]))).size
        assert (w, h) == (1568, 882)
        view = View(0, 0, 1920, 1080, w, h)
        corner = ((LEFT + W - 2) * w // 1920, (TOP + H - 2) * h // 1080)
        for px, py in [(LEFT * w // 1920 + 3, TOP * h // 1080 + 5), (w // 2 + 1, h // 2 - 1), corner]:
            sx, sy = view.to_screen(px, py)
            assert LEFT <= sx < LEFT + W and TOP <= sy < TOP + H
            start = probe.mark()
            clicked = bridge.call("computer", action="left_click", coordinate=[px, py])
            assert clicked["isError"] is False, clicked
            assert f"({sx}, {sy}) on the screen" in clicked["content"][0]["text"]
            down = probe.wait_for(lambda l: l.startswith("lbuttondown"), start=start)
            assert down.split()[1:3] == [str(sx), str(sy)], (px, py, down)
            probe.wait_for(lambda l: l.startswith("lbuttonup"), start=start)
    finally:
        assert bridge.close() == 0
        probe.close()
