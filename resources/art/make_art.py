#!/usr/bin/env python3
"""Regenerates Skarvel's pixel art (the XPM files beside this script).

Plain Python 3, standard library only.  Run from anywhere:
    python3 resources/art/make_art.py
The checked-in XPM files are what the program uses; this script only
rewrites them.  Every picture uses the 16-colour VGA palette below.
In the ASCII drawings '.' means "nothing drawn here" (transparent on a
fresh canvas).
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# One character per VGA colour.
PALETTE = {
    'k': '#000000', 'w': '#FFFFFF', 'g': '#808080', 's': '#C0C0C0',
    'r': '#800000', 'R': '#FF0000', 'n': '#008000', 'G': '#00FF00',
    'b': '#000080', 'B': '#0000FF', 'c': '#008080', 'C': '#00FFFF',
    'm': '#800080', 'M': '#FF00FF', 'y': '#808000', 'Y': '#FFFF00',
}
CLEAR = '.'


# ---------------------------------------------------------------- canvas
def canvas(w, h, fill=CLEAR):
    return [[fill] * w for _ in range(h)]


def put(img, x, y, rows):
    """Draws an ASCII picture with its top-left corner at (x, y)."""
    for j, row in enumerate(rows):
        for i, ch in enumerate(row):
            if ch != CLEAR:
                img[y + j][x + i] = ch


def rect(img, x0, y0, x1, y1, ch):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = ch


def box(img, x0, y0, x1, y1, fill, line='k'):
    rect(img, x0, y0, x1, y1, line)
    rect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)


def disc(cx, cy, r):
    """Set of pixels whose centres lie inside the circle."""
    return {(x, y) for y in range(int(cy - r) - 1, int(cy + r) + 2)
            for x in range(int(cx - r) - 1, int(cx + r) + 2)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r}


def rim(shape):
    """Pixels of a shape that touch its outside (4-neighbourhood)."""
    return {(x, y) for (x, y) in shape
            if {(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)} - shape}


def paint(img, pixels, ch):
    for x, y in pixels:
        img[y][x] = ch


def write_xpm(name, img, hotspot=None):
    h, w = len(img), len(img[0])
    used = sorted({ch for row in img for ch in row},
                  key=lambda c: (c != CLEAR, c))
    ident = name.replace('.', '_')
    lines = ['/* XPM */']
    values = '%d %d %d 1' % (w, h, len(used))
    if hotspot:  # also in the XPM values line, as the format allows
        lines.append('/* hotspot: %d %d */' % hotspot)
        values += ' %d %d' % hotspot
    lines.append('static const char *const %s[] = {' % ident)
    lines.append('"%s",' % values)
    for ch in used:
        lines.append('"%s c %s",' % (ch, 'None' if ch == CLEAR else PALETTE[ch]))
    lines += ['"%s",' % ''.join(row) for row in img]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    with open(os.path.join(HERE, name), 'w') as f:
        f.write('\n'.join(lines) + '\n')


# ------------------------------------------------------- command buttons
# Visible area: top-left 20x20 (open, about), 18x18 (floppy).
OPEN = [
    "....................",
    "....................",
    "......kkkkkkkkkkkkk.",
    "......kwkwkwkwkwkwk.",
    "..kkk.kCCCkCCCkCCCk.",
    ".kYYYkkCCCkCCCkCCCk.",
    ".kYwwYknnnknnnknnnk.",
    ".kYwYYknnnknnnknnnk.",
    ".kYwYYkwkwkwkwkwkwk.",
    ".kYwyykkkkkkkkkkkkk.",
    ".kYwyyyyyyyyyyyyk...",
    ".kYwyykkkkkkkkkkkkk.",
    ".kYwykYwwwwwwwwwwYk.",
    ".kYwkYwYYYYYYYYYYk..",
    ".kYkYwYYYYYYYYYYk...",
    ".kkYwYYYYYYYYYYk....",
    ".kYYYYYYYYYYYYk.....",
    ".kkkkkkkkkkkkk......",
]

FLOPPY = [  # 16x16, drawn at (1, 1)
    "kkkkkkkkkkkkkk..",
    "kbbkssssswbbskk.",
    "kbbkssssswbbskbk",
    "kbbkssssswbbskbk",
    "kbbkssssswbbskbk",
    "kbbkgggggggggkbk",
    "kbbbbbbbbbbbbbbk",
    "kbbbbbbbbbbbbbbk",
    "kbkkkkkkkkkkkkbk",
    "kbkRRRRRRRRRRkbk",
    "kbkwwwwwwwwwwkbk",
    "kbkwggggggggwkbk",
    "kbkwwwwwwwwwwkbk",
    "kbkwggggggwwwkbk",
    "kkkwwwwwwwwwwkbk",
    "kkkkkkkkkkkkkkkk",
]


def make_open():
    img = canvas(32, 32)
    put(img, 0, 0, OPEN)
    write_xpm('open.xpm', img)


def make_about():
    img = canvas(32, 32)
    circle = disc(10, 10, 7.1)
    paint(img, {(x + 1, y + 1) for x, y in circle}, 'g')  # drop shadow
    paint(img, circle, 'B')
    paint(img, rim(circle), 'b')
    put(img, 7, 5, [
        "..ww",
        "..ww",
        "....",
        ".www",
        "..ww",
        "..ww",
        "..ww",
        "..ww",
        "..ww",
        ".wwww",
    ])
    write_xpm('about.xpm', img)


def emboss(img):
    """Classic disabled look: dark pixels become grey, white echo at +1,+1."""
    dark = {(x, y) for y, row in enumerate(img) for x, ch in enumerate(row)
            if ch in 'kgrnbcmyR'}
    out = canvas(len(img[0]), len(img))
    paint(out, {(x + 1, y + 1) for x, y in dark} - dark, 'w')
    paint(out, dark, 'g')
    return out


def make_floppies():
    img = canvas(32, 32)
    put(img, 1, 1, FLOPPY)
    write_xpm('floppy_on.xpm', img)
    write_xpm('floppy_off.xpm', emboss(img))


# ---------------------------------------------------------- status bar
BAR_FILE = [  # visible: 18 wide x 16 high
    "...kkkkkkkkk......",
    "...kwwwwwwwkk.....",
    "...kwwwwwwwkwk....",
    "...kwwwwwwwkwwk...",
    "...kwwwwwwwkkkkk..",
    "...kwwwwwwwwwwwk..",
    "...kwkkkkkkkkkwk..",
    "...kwkCCCCCYYkwk..",
    "...kwkCCCCCYYkwk..",
    "...kwkCCnCCCCkwk..",
    "...kwknnnnCCnkwk..",
    "...kwknnnnnnnkwk..",
    "...kwkkkkkkkkkwk..",
    "...kwwwwwwwwwwwk..",
    "...kkkkkkkkkkkkk..",
]

BAR_FRAMES = [  # visible: 14 wide x 16 high
    ".kkkkkkkkkkkk.",
    ".kwkkkkkkkkwk.",
    ".kkkCCCCCCkkk.",
    ".kwkCCCCCCkwk.",
    ".kkknnnnnnkkk.",
    ".kwkkkkkkkkwk.",
    ".kkkCCCCCCkkk.",
    ".kwkCCCCCCkwk.",
    ".kkknnnnnnkkk.",
    ".kwkkkkkkkkwk.",
    ".kkkCCCCCCkkk.",
    ".kwkCCCCCCkwk.",
    ".kkknnnnnnkkk.",
    ".kwkkkkkkkkwk.",
    ".kkkkkkkkkkkk.",
]


def make_bar():
    img = canvas(32, 32)
    put(img, 0, 0, BAR_FILE)
    write_xpm('bar_file.xpm', img)
    img = canvas(32, 32)
    put(img, 0, 0, BAR_FRAMES)
    write_xpm('bar_frames.xpm', img)


# ----------------------------------------------------- thumbnail strip
def make_arrows():
    for name, flip in (('up.xpm', False), ('down.xpm', True)):
        img = canvas(32, 32)
        rect(img, 0, 0, 14, 14, 's')
        for i in range(4):  # 7 px wide, 4 px high, centred on column 7
            y = (9 - i) if flip else (5 + i)
            rect(img, 7 - i, y, 7 + i, y, 'k')
        write_xpm(name, img)


EDGE_PERIOD = [  # 7 wide, repeats every 9 rows
    "gkkkkkg",
    "gkkkkkg",
    "gkgggkg",
    "gkgsskg",
    "gkgsskg",
    "gkgswkg",
    "gkkkkkg",
    "gkkkkkg",
    "gkkkkkg",
]


def make_edge():
    img = canvas(7, 333)
    for y in range(333):
        img[y] = list(EDGE_PERIOD[y % len(EDGE_PERIOD)])
    write_xpm('edge.xpm', img)


def cap(w, h, bottom):
    """A bevelled grey bar, rounded on the outer side (top or bottom)."""
    insets = [5, 3, 2, 1, 1] + [0] * h
    img = canvas(w, h, 's')
    line = set()
    for d in range(h):  # d: distance from the rounded side
        y = (h - 1 - d) if bottom else d
        i = insets[d]
        img[y][:i] = img[y][w - i:] = [CLEAR] * i
        if d in (0, h - 1):  # the long edges
            reach = w - 1 - i
        else:  # the curve, as a thin 8-connected line
            reach = max(i, insets[d - 1] - 1)
        for x in range(i, reach + 1):
            line |= {(x, y), (w - 1 - x, y)}
    for y in range(h):
        for x in range(w):
            if img[y][x] == 's' and (x, y) not in line:
                if (x - 1, y) in line or (x, y - 1) in line:
                    img[y][x] = 'w'
                elif (x + 1, y) in line or (x, y + 1) in line:
                    img[y][x] = 'g'
    paint(img, line, 'k')
    # three grip grooves in the middle, and a screw near each end
    mid = h // 2
    for dy in (-3, 0, 3):
        rect(img, w // 2 - 14, mid + dy - 1, w // 2 + 13, mid + dy - 1, 'g')
        rect(img, w // 2 - 14, mid + dy, w // 2 + 13, mid + dy, 'w')
    for sx in (9, w - 12):
        put(img, sx, mid - 2, [".wwg", "wskg", "wksg", "ggg."])
    return img


def make_caps():
    write_xpm('strip_top.xpm', cap(108, 19, bottom=False))
    write_xpm('strip_bottom.xpm', cap(107, 17, bottom=True))


# -------------------------------------------------------------- cursors
HAND = [  # hot spot: the fingertip, column 5 row 0
    ".....kk...........",
    "....kwwk..........",
    "....kwwk..........",
    "....kwwk..........",
    "....kwwk..........",
    "....kwwkkk........",
    "....kwwkwwkkk.....",
    "....kwwkwwkwwkkk..",
    "....kwwkwwkwwkwwk.",
    ".kk.kwwkwwkwwkwwk.",
    "kwwkkwwkwwkwwkwwk.",
    "kwwwkwwwwwwwwwwwk.",
    ".kwwkwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwwk..",
    "...kwwwwwwwwwwwk..",
    "...kwwwwwwwwwwk...",
    "....kwwwwwwwwwk...",
    "....kkkkkkkkkkk...",
]
HOTSPOT = (5, 0)


def make_cursors():
    # The link hand has its fingertip at (6, 5), where link cursors traditionally point.
    for name, (dx, dy) in (('cursor.xpm', (0, 0)), ('hand.xpm', (1, 5))):
        img = canvas(32, 32)
        put(img, dx, dy, HAND)
        write_xpm(name, img, (HOTSPOT[0] + dx, HOTSPOT[1] + dy))


# -------------------------------------------------------- about window
MAIL = [
    "kkkkkkkkkkkkkk",
    "kkwwwwwwwwwwkk",
    "kwkwwwwwwwwkwk",
    "kwwkwwwwwwkwwk",
    "kwwwkwwwwkwwwk",
    "kwwwwkwwkwwwwk",
    "kwwwwwkkwwwwwk",
    "kwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkk",
]

LAND = [  # continents on the globe, 19x19
    "...................",
    "......GGG..........",
    "....GGGGGG....G....",
    "...GGGGGGGG..GGG...",
    "..GGGGGGGG..GGGGG..",
    "..GGGGGGG...GGGG...",
    "...GGGGG....GGG....",
    "....GGG....GGGGGG..",
    ".....GG....GGGGGGG.",
    "......GGG...GGGGGG.",
    ".......GGGG..GGGGG.",
    ".......GGGGG..GGG..",
    "........GGGG..GGG..",
    "........GGG....G...",
    "........GG.........",
    "........G..........",
    "...................",
    "...................",
    "...................",
]


def make_mail():
    img = canvas(14, 11)
    put(img, 0, 0, MAIL)
    write_xpm('mail.xpm', img)


def make_website():
    w, h = 165, 27
    img = canvas(w, h, 's')
    rect(img, 0, 0, w - 1, 0, 'w')
    rect(img, 0, 0, 0, h - 1, 'w')
    rect(img, 0, h - 1, w - 1, h - 1, 'k')
    rect(img, w - 1, 0, w - 1, h - 1, 'k')
    rect(img, 1, h - 2, w - 2, h - 2, 'g')
    rect(img, w - 2, 1, w - 2, h - 2, 'g')
    globe = disc(13.5, 13.5, 9.6)
    land = {(x + 4, y + 4) for y, row in enumerate(LAND)
            for x, ch in enumerate(row) if ch != CLEAR}
    paint(img, globe, 'B')
    paint(img, globe & land, 'n')
    paint(img, globe & {(x, y) for x, y in land if (x - 1, y - 1) not in land}, 'G')
    paint(img, rim(globe), 'b')
    write_xpm('website.xpm', img)


# ----------------------------------------------------- application icon
def film_frame(img, x0, y0, x1, y1, picture, holes=True):
    """A piece of film: black bands with holes above and below a picture."""
    box(img, x0, y0, x1, y1, 'k')
    band = 3 if holes else 1
    rect(img, x0 + 1, y0 + band, x1 - 1, y1 - band, picture)
    if holes:
        step = 3 if x1 - x0 > 16 else 2
        for x in range(x0 + 2, x1 - 1, step):
            img[y0 + 1][x] = img[y1 - 1][x] = 'w'


def play(img, x, y, half):
    """Yellow play triangle, 'half'+1 wide and 2*half+1 high."""
    for i in range(half + 1):
        rect(img, x + i, y + i, x + i, y + 2 * half - i, 'Y')


def make_app_icons():
    img = canvas(32, 32)
    film_frame(img, 10, 0, 31, 21, 'c')
    film_frame(img, 5, 5, 26, 26, 'C')
    film_frame(img, 0, 10, 21, 31, 'b')
    play(img, 7, 14, 6)
    write_xpm('skarvel32.xpm', img)

    img = canvas(16, 16)
    film_frame(img, 4, 0, 15, 11, 'c', holes=False)
    film_frame(img, 2, 2, 13, 13, 'C', holes=False)
    film_frame(img, 0, 4, 11, 15, 'b')
    play(img, 4, 7, 2)
    write_xpm('skarvel16.xpm', img)


if __name__ == '__main__':
    make_open()
    make_about()
    make_floppies()
    make_bar()
    make_arrows()
    make_edge()
    make_caps()
    make_cursors()
    make_mail()
    make_website()
    make_app_icons()
