"""Screenshots and pixels under Wine on Xvfb: every pixel equals what the X server itself holds
(ImageMagick's `import -window root`), for the whole screen and for regions."""

import base64
import io
import json
import subprocess
import time

import pytest
from PIL import Image

from conftest import DEADLINE, SCREEN_H, SCREEN_W


def pattern_color(x, y):
    """The probe's pattern at a client pixel (see the probe's PatternColor)."""
    r = (x * 7 + y * 3) & 0xFF
    g = (x ^ y) & 0xFF
    b = (0xC0 if ((x // 8) + (y // 8)) % 2 else 0x20) + (x * y) % 31
    return r, g, b


@pytest.fixture(scope="module")
def patterned(wine_env, shared_daemon):
    """A probe that covers the screen with the pattern, in front, its paint finished."""
    from conftest import Probe
    probe = Probe(wine_env, "marlet pattern probe", (0, 0, SCREEN_W, SCREEN_H), pattern=True)
    assert shared_daemon.ask(f"focus {probe.hwnd_text}") == '{"status":"ok"}'
    deadline = time.monotonic() + DEADLINE
    while json.loads(shared_daemon.ask("pixel 1917,1077")) != {"status": "ok", **dict(zip("rgb", pattern_color(1917, 1077)))}:
        assert time.monotonic() < deadline, "the probe never painted its pattern"
        time.sleep(0.1)
    yield probe
    probe.close()


SHARES_DAEMON = True  # no case here ends the daemon


def x_server_screen(env):
    """The whole screen as the X server holds it."""
    png = subprocess.run(["import", "-window", "root", "png:-"], env=env, capture_output=True, check=True).stdout
    return Image.open(io.BytesIO(png)).convert("RGB")


def picture(answer):
    return Image.open(io.BytesIO(base64.b64decode(answer["png"], validate=True)))


def test_a_screenshot_of_the_whole_screen_is_the_x_servers_picture(daemon, patterned, wine_env):
    answer = json.loads(daemon.ask("screenshot", timeout=30))
    assert {k: answer[k] for k in ("left", "top", "width", "height")} == {"left": 0, "top": 0, "width": SCREEN_W,
                                                                          "height": SCREEN_H}
    ours = picture(answer)
    assert (ours.format, ours.mode) == ("PNG", "RGB")
    assert ours.tobytes() == x_server_screen(wine_env).tobytes()


@pytest.mark.parametrize("region, taken", [
    ((100, 200, 300, 150), (100, 200, 300, 150)),
    ((1, 1, 1, 1), (1, 1, 1, 1)),
    ((1800, 1000, 500, 500), (1800, 1000, 120, 80)),   # clipped at the right and bottom
    ((-50, -20, 100, 100), (0, 0, 50, 80)),            # and at the left and top
])
def test_a_region_is_the_same_part_of_the_x_servers_picture(daemon, patterned, wine_env, region, taken):
    answer = json.loads(daemon.ask("screenshot %d,%d,%d,%d" % region, timeout=30))
    assert (answer["left"], answer["top"], answer["width"], answer["height"]) == taken
    left, top, width, height = taken
    reference = x_server_screen(wine_env).crop((left, top, left + width, top + height))
    assert picture(answer).tobytes() == reference.tobytes()


def test_pixels_agree_with_the_pattern_and_the_x_server(daemon, patterned, wine_env):
    reference = x_server_screen(wine_env)
    for x, y in [(0, 0), (1, 0), (8, 8), (333, 777), (1919, 1079), (1234, 5), (960, 540)]:
        answer = json.loads(daemon.ask(f"pixel {x},{y}"))
        assert (answer["r"], answer["g"], answer["b"]) == pattern_color(x, y) == reference.getpixel((x, y))
    assert daemon.ask("pixel 1920,0") == '{"status":"error","message":"Position outside the screen"}'


def test_a_file_screenshot_lands_whole_where_the_path_says(daemon, patterned, wine_env, tmp_path):
    target = tmp_path / "marlet shot.png"
    windows_path = "Z:" + str(target).replace("/", "\\")
    answer = json.loads(daemon.ask(f'screenshot 10,20,640,480 "{windows_path}"', timeout=30))
    assert answer == {"status": "ok", "left": 10, "top": 20, "width": 640, "height": 480, "path": windows_path,
                      "bytes": target.stat().st_size}
    reference = x_server_screen(wine_env).crop((10, 20, 650, 500))
    assert Image.open(target).tobytes() == reference.tobytes()
    assert [p.name for p in tmp_path.iterdir()] == ["marlet shot.png"]
    missing = "Z:" + str(tmp_path / "no such folder" / "x.png").replace("/", "\\")
    assert json.loads(daemon.ask(f'screenshot "{missing}"', timeout=30)) == {
        "status": "error", "message": f"Cannot write {missing}: 3"}
