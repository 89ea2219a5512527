#!/usr/bin/python3
"""Renders chat screenshots with the lines they hold, for measuring lumascan
on the kind of picture it reads: conversation lists and bubbles, Chinese and
English mixed, 12 to 16 px text, light and dark themes, three fonts, 1x and
2x pictures. Each NAME.png comes with NAME.txt, its lines one a line.

    render_chats.py OUTDIR [COUNT] [SEED]

The pictures in this folder are `render_chats.py . 6 1`, committed so that
builds never need the renderer (it needs python3-pil, fonts-noto-cjk,
fonts-wqy-microhei and fonts-wqy-zenhei). Other seeds give pictures the
program was never tuned on.
"""
import random
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

FONTS = {
    "noto": ("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", "SC"),
    "microhei": ("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", None),
    "zenhei": ("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", None),
}

THEMES = {
    #        page             text            faint            bubbles (fill, text)
    "light": ((237, 237, 237), (30, 30, 30), (150, 150, 150),
              [((255, 255, 255), (30, 30, 30)), ((149, 236, 105), (30, 30, 30)),
               ((64, 128, 255), (255, 255, 255))]),
    "white": ((255, 255, 255), (20, 20, 20), (140, 140, 140),
              [((242, 242, 242), (20, 20, 20)), ((158, 234, 106), (20, 20, 20)),
               ((230, 80, 80), (255, 255, 255))]),
    "dark": ((25, 25, 25), (220, 220, 220), (120, 120, 120),
             [((44, 44, 44), (220, 220, 220)), ((38, 120, 60), (235, 235, 235)),
              ((40, 90, 200), (240, 240, 240))]),
    "slate": ((32, 36, 44), (230, 232, 235), (130, 136, 145),
              [((52, 58, 70), (230, 232, 235)), ((0, 110, 200), (255, 255, 255))]),
}

MESSAGES = [
    "明早9点的航班改到11:20了",
    "发票抬头写公司全称，税号见附件",
    "Meeting moved to Room 402, see you there",
    "我把README更新了，PR #1375 麻烦看下",
    "收到，周三下午给你答复",
    "Please review the Q2 budget by Friday",
    "刚刚转账￥1,280.00，请查收",
    "这个bug在v4.2.0里已经修复了",
    "晚上7点聚餐，地点：海底捞（中关村店）",
    "OK 没问题",
    "Can you send me the slides?",
    "服务器重启完成，CPU降到23%",
    "快递单号SF1029384756已发出",
    "周报模板在共享文件夹里",
    "Sorry, running 10 minutes late",
    "密码已重置，请用新密码登录",
    "下周一开始休假，有事找小王",
    "Build #512 failed: test_login timed out",
    "孩子发烧了，今天请假半天",
    "数据导出为CSV格式，共3,456行",
    "Let's sync at 3:30 PM tomorrow",
    "好的，谢谢！",
    "已上传到网盘 /项目/2024/设计稿",
    "价格是每月￥99，年付打八折",
]
NAMES = ["产品讨论群", "张敏", "Alice Chen", "运维值班", "老妈", "Design Team", "刘洋", "客服小助手"]
PREVIEWS = ["[语音] 12\"", "好的，我马上过去", "Photo", "你：收到", "[文件] 合同草案.docx",
            "明天见", "Alice: thanks!", "[链接] 年度总结"]
TIMES = ["08:15", "昨天", "星期五", "12:47", "2024/03/08", "上午 9:02", "下午 6:30", "周一"]


def font(name, size):
    path, want = FONTS[name]
    if want is None:
        return ImageFont.truetype(path, size)
    for index in range(10):
        f = ImageFont.truetype(path, size, index=index)
        if want in f.getname()[0]:
            return f
    raise SystemExit(f"no {want} face in {path}")


def conversation(rng, theme, face, size, scale):
    page, ink, faint, bubbles = THEMES[theme]
    s = lambda v: int(round(v * scale))
    big, small = font(face, s(size)), font(face, s(max(12, size - 1)))
    width = s(rng.choice([560, 640, 760]))
    lines, y = [], s(16)
    items = []
    for i, text in enumerate(rng.sample(MESSAGES, 5)):
        if i in (0, 3):
            stamp = rng.choice(TIMES)
            items.append((stamp, width // 2 - s(30), y, small, faint, None))
            y += s(size + 22)
        fill, colour = rng.choice(bubbles)
        right = rng.random() < 0.5
        x = width - s(30) - int(big.getlength(text)) if right else s(60)
        items.append((text, x, y, big, colour, fill))
        y += s(size + 30)
    image = Image.new("RGB", (width, y + s(10)), page)
    draw = ImageDraw.Draw(image)
    for text, x, yy, f, colour, fill in items:
        if fill:
            l, t, r, b = draw.textbbox((x, yy), text, font=f)
            draw.rounded_rectangle([l - s(9), t - s(7), r + s(9), b + s(7)], radius=s(5), fill=fill)
        draw.text((x, yy), text, font=f, fill=colour)
        lines.append(text)
    return image, lines


def chat_list(rng, theme, face, size, scale):
    page, ink, faint, _ = THEMES[theme]
    s = lambda v: int(round(v * scale))
    title, small = font(face, s(size + 1)), font(face, s(size))
    width, rows = s(300), 5
    image = Image.new("RGB", (width, s(20 + rows * 48)), page)
    draw = ImageDraw.Draw(image)
    lines = []
    for i, (name, preview, when) in enumerate(zip(rng.sample(NAMES, rows), rng.sample(PREVIEWS, rows),
                                                 rng.sample(TIMES, rows))):
        y = s(14 + i * 48)
        draw.text((s(16), y), name, font=title, fill=ink)
        draw.text((width - s(14) - int(small.getlength(when)), y + s(2)), when, font=small, fill=faint)
        draw.text((s(16), y + s(size + 8)), preview, font=small, fill=faint)
        lines += [name, when, preview]
    return image, lines


def main():
    out = Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 6
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    out.mkdir(parents=True, exist_ok=True)
    for n in range(count):
        theme = rng.choice(list(THEMES))
        face = rng.choice(list(FONTS))
        size = rng.choice([12, 13, 14, 15, 16])
        scale = rng.choice([1, 1, 2])
        kind = chat_list if n % 3 == 2 else conversation
        image, lines = kind(rng, theme, face, size, scale)
        name = f"{kind.__name__}_{n}_{theme}_{face}_{size}px_{scale}x"
        image.save(out / f"{name}.png", optimize=True)
        (out / f"{name}.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
