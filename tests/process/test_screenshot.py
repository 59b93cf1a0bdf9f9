"""Screenshots from the host daemon, read back by an independent PNG reader (Pillow): every pixel
is the simulated screen's wallpaper, and a file screenshot lands whole."""

import base64
import io
import json

from PIL import Image

from daemon_process import run_daemon, wallpaper


def ask_all(marlet, lines, timeout=120):
    proc = run_daemon([marlet], "\n".join(lines).encode() + b"\n", timeout)
    assert proc.returncode == 0, proc.stderr[-2000:]
    return [json.loads(line.decode("utf-8", errors="strict")) for line in proc.stdout.splitlines()]


def expected(left, top, width, height):
    return bytes(v for y in range(top, top + height) for x in range(left, left + width) for v in wallpaper(x, y))


def test_a_screenshot_decodes_to_the_screens_pixels(marlet):
    whole, region = ask_all(marlet, ["screenshot", "screenshot 1800,1000,300,300"])
    image = Image.open(io.BytesIO(base64.b64decode(whole["png"], validate=True)))
    assert (image.format, image.mode, image.size) == ("PNG", "RGB", (1920, 1080))
    assert not {"gamma", "icc_profile", "srgb", "chromaticity"} & set(image.info)
    assert image.tobytes() == expected(0, 0, 1920, 1080)
    assert {k: region[k] for k in ("left", "top", "width", "height")} == {"left": 1800, "top": 1000, "width": 120,
                                                                          "height": 80}
    assert Image.open(io.BytesIO(base64.b64decode(region["png"]))).tobytes() == expected(1800, 1000, 120, 80)


def test_a_file_screenshot_is_a_png_a_reader_opens(marlet, tmp_path):
    target = tmp_path / "shot é.png"
    target.write_bytes(b"an earlier file")
    (answer,) = ask_all(marlet, [f'screenshot 10,20,64,32 "{target}"'])
    assert answer == {"status": "ok", "left": 10, "top": 20, "width": 64, "height": 32, "path": str(target),
                      "bytes": target.stat().st_size}
    assert Image.open(target).tobytes() == expected(10, 20, 64, 32)
    assert sorted(p.name for p in tmp_path.iterdir()) == ["shot é.png"]


def test_pixels_agree_with_the_screenshot(marlet):
    points = [(0, 0), (1919, 1079), (640, 360), (1, 1078)]
    answers = ask_all(marlet, [f"pixel {x},{y}" for x, y in points])
    assert [(a["r"], a["g"], a["b"]) for a in answers] == [wallpaper(x, y) for x, y in points]
