#!/usr/bin/python3
"""Renders chat_screenshot.png from chat_screenshot.txt.

Run by hand when the text changes (needs python3-pil and fonts-wqy-zenhei);
the PNG is committed so builds never need the renderer.
Line 1 is the window title, line 2 a timestamp, the rest alternate between
incoming (white, left) and outgoing (green, right) message bubbles.
"""
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

HERE = Path(__file__).resolve().parent
FONT = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
WIDTH, HEIGHT = 1200, 800


def main():
    lines = (HERE / "chat_screenshot.txt").read_text(encoding="utf-8").splitlines()
    title, stamp, messages = lines[0], lines[1], lines[2:]

    img = Image.new("RGB", (WIDTH, HEIGHT), (245, 245, 245))
    draw = ImageDraw.Draw(img)
    title_font = ImageFont.truetype(FONT, 20)
    stamp_font = ImageFont.truetype(FONT, 14)
    text_font = ImageFont.truetype(FONT, 17)

    # Sidebar and title bar, as on the desktop client.
    draw.rectangle((0, 0, 250, HEIGHT), fill=(230, 230, 230))
    for i in range(6):
        y = 70 + i * 64
        draw.rectangle((16, y, 56, y + 40), fill=(150 + i * 15, 170, 200 - i * 10))
        draw.rectangle((68, y + 8, 200 - i * 12, y + 16), fill=(200, 200, 200))
    draw.line((250, 56, WIDTH, 56), fill=(220, 220, 220))
    draw.text((280, 16), title, font=title_font, fill=(0, 0, 0))

    w = draw.textlength(stamp, font=stamp_font)
    draw.text(((250 + WIDTH - w) / 2, 72), stamp, font=stamp_font, fill=(160, 160, 160))

    y = 104
    for i, text in enumerate(messages):
        outgoing = i % 2 == 1
        tw = draw.textlength(text, font=text_font)
        bw, bh = tw + 28, 38
        if outgoing:
            avatar_x = WIDTH - 56
            bx = avatar_x - 12 - bw
            fill = (149, 236, 105)
        else:
            avatar_x = 270
            bx = avatar_x + 52
            fill = (255, 255, 255)
        draw.rectangle((avatar_x, y, avatar_x + 38, y + 38), fill=(120, 150, 190))
        draw.rounded_rectangle((bx, y, bx + bw, y + bh), radius=4, fill=fill)
        draw.text((bx + 14, y + 10), text, font=text_font, fill=(20, 20, 20))
        y += 56

    img.save(HERE / "chat_screenshot.png", optimize=True)


if __name__ == "__main__":
    main()
