#!/usr/bin/python3
"""Draws resources/pictures/about.jpg, the 450 x 271 picture of the about
dialog: the name "Kelvora" on the four copybook lines, four practice cells
with guide lines (田字格) holding 学写汉字, and the note that the program is
free to use and to share.

Needs resources/fonts/AbcManuscript.ttf (tools/make_letter_fonts.py), the
stroke font resources/fonts/JIV_KaiTi_GB2312.ttf and Debian's fonts-wqy-microhei.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
OUT = os.path.join(ROOT, "resources", "pictures", "about.jpg")
LETTER_FONT = os.path.join(ROOT, "resources", "fonts", "AbcManuscript.ttf")
KAITI_FONT = os.path.join(ROOT, "resources", "fonts", "JIV_KaiTi_GB2312.ttf")
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

WIDTH, HEIGHT = 450, 271
SS = 4  # drawn at four times the size, then reduced: smooth lines and text

PAPER = (255, 250, 236)
BORDER = (245, 196, 120)
LINE = (150, 190, 120)       # copybook lines, soft green
CELL = (222, 84, 64)         # practice cell frame, red as in school books
CELL_GUIDE = (240, 170, 160)
NAME = (40, 92, 168)
INK = (48, 48, 48)
NOTE = (214, 80, 46)
NOTE_EN = (110, 110, 110)


def font(path, size, index=0):
    if not os.path.exists(path):
        sys.exit("make_about_picture: missing %s" % path)
    return ImageFont.truetype(path, size * SS, index=index)


def s(*v):
    return [round(x * SS) for x in v]


def dashed(draw, x0, y0, x1, y1, colour, width, dash=4, gap=3):
    """Horizontal or vertical dashed line."""
    length = max(x1 - x0, y1 - y0)
    pos = 0.0
    while pos < length:
        end = min(pos + dash, length)
        if x1 > x0:
            draw.line(s(x0 + pos, y0, x0 + end, y1), fill=colour, width=width)
        else:
            draw.line(s(x0, y0 + pos, x1, y0 + end), fill=colour, width=width)
        pos += dash + gap


def centred_text(draw, y, text, fnt, colour):
    w = draw.textlength(text, font=fnt)
    draw.text(((WIDTH * SS - w) / 2, y * SS), text, font=fnt, fill=colour)


def main():
    img = Image.new("RGB", (WIDTH * SS, HEIGHT * SS), PAPER)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(s(6, 6, WIDTH - 7, HEIGHT - 7), radius=14 * SS, outline=BORDER,
                        width=3 * SS)

    # "Kelvora" on the four lines; the letter font puts its baseline on the
    # third line, capitals on the first.
    em = 62
    top = 22  # first line
    pitch = em * 10 / 27  # the font's grid: lines 10 points apart at em 27
    for k in range(4):
        y = top + k * pitch
        d.line(s(40, y, WIDTH - 40, y), fill=LINE, width=SS)
    letters = font(LETTER_FONT, em)
    name = "Kelvora"
    w = d.textlength(name, font=letters) / SS
    # line-box top = first line - 3.2 / 27 em (the worksheet's placement)
    d.text(s((WIDTH - w) / 2, top - 3.2 / 27 * em), name, font=letters, fill=NAME)

    # Four practice cells with their guide lines and 学写汉字 in the stroke font.
    side, gap = 58, 14
    left = (WIDTH - 4 * side - 3 * gap) / 2
    cell_top = 108
    kaiti = font(KAITI_FONT, side - 8)
    for i, ch in enumerate("学写汉字"):
        x = left + i * (side + gap)
        dashed(d, x, cell_top + side / 2, x + side, cell_top + side / 2, CELL_GUIDE, SS)
        dashed(d, x + side / 2, cell_top, x + side / 2, cell_top + side, CELL_GUIDE, SS)
        d.rectangle(s(x, cell_top, x + side, cell_top + side), outline=CELL, width=2 * SS)
        cw = d.textlength(ch, font=kaiti) / SS
        d.text(s(x + (side - cw) / 2, cell_top + 4), ch, font=kaiti, fill=INK)

    centred_text(d, 190, "免费使用，欢迎分享", font(CJK_FONT, 24), NOTE)
    centred_text(d, 226, "Free to use and to share", font(LETTER_FONT, 17), NOTE_EN)

    img = img.resize((WIDTH, HEIGHT), Image.LANCZOS)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    img.save(OUT, "JPEG", quality=92, optimize=False, progressive=False)


if __name__ == "__main__":
    main()
