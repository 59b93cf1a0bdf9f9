"""Writes the PNG files the decoder's unit tests read, with Pillow (and ImageMagick for the
interlaced ones, which Pillow does not write). Each picture's pixels follow a formula that the test
computes again (png_decoder_test.cpp). Run with the system Python from this folder:
/usr/bin/python3 make_pngs.py"""
import subprocess

from PIL import Image

W, H = 13, 7  # odd sizes: rows of 1, 2 and 4-bit samples end inside a byte


def rgb(x, y):
    return ((x * 40 + y * 7) & 255, (x * 3 + y * 50) & 255, (x * x + y) & 255)


def alpha(x, y):
    return (x * 20 + y * 30) & 255


def grey(x, y):
    return (x * 19 + y * 33) & 255


def index(x, y):
    return (x + 2 * y) % 20


def palette():
    return [(i * 10, 255 - i * 7, i * 3) for i in range(20)]


def picture(mode, value):
    im = Image.new(mode, (W, H))
    im.putdata([value(x, y) for y in range(H) for x in range(W)])
    return im


picture("RGB", rgb).save("rgb.png")
picture("RGBA", lambda x, y: rgb(x, y) + (alpha(x, y),)).save("rgba.png")
picture("L", grey).save("grey.png")
picture("LA", lambda x, y: (grey(x, y), alpha(x, y))).save("grey_alpha.png")
picture("1", lambda x, y: 255 if (x + y) % 3 == 0 else 0).save("grey_1bit.png")
p = picture("P", index)
p.putpalette([c for entry in palette() for c in entry])
p.save("palette.png", transparency=bytes([255, 255, 255, 255, 255, 0, 100]))
p4 = picture("P", lambda x, y: index(x, y) % 16)
p4.putpalette([c for entry in palette()[:16] for c in entry])
p4.save("palette_4bit.png", bits=4)
picture("L", grey).save("grey_key.png", transparency=grey(3, 2))
picture("RGB", rgb).save("rgb_key.png", transparency=rgb(5, 1))
picture("I;16", lambda x, y: x * 1000 + y).save("grey_16bit.png")
subprocess.run(["convert", "rgb.png", "-interlace", "PNG", "PNG24:rgb_interlaced.png"], check=True)
subprocess.run(["convert", "rgba.png", "-interlace", "PNG", "PNG32:rgba_interlaced.png"], check=True)

picture("L", grey).save("grey_interlaced.png")
subprocess.run(["convert", "grey_interlaced.png", "-interlace", "PNG", "-define", "png:color-type=0",
                "grey_interlaced.png"], check=True)
