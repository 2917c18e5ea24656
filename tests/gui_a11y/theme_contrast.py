#!/usr/bin/env python3
"""Contrast of the theme files' colour pairs, as WCAG 2.1 computes it.

Usage: theme_contrast.py THEME_FILE...

Each pair is a colour the pages draw on a surface they draw it on: texts need
4.5:1, the parts that make a control out (borders, rings, focus rings) 3:1.
A transparent colour is laid over the surface under it. Placeholders must
also stand apart from typed text. Prints every pair; exits 1 on a failure.
"""
import configparser
import sys

NAMED = {"white": "#FFFFFF", "black": "#000000", "gray": "#A0A0A4", "lightgray": "#C0C0C0"}

# (what, foreground key, background key, surface under a transparent background, minimum)
PAIRS = [
    ("text on a block", "TextColorOfEnabledItem2", "BackgroundColorOfPageBlock", None, 4.5),
    ("typed text in a field", "TextColorOfEnabledItem2", "BackgroundColorOfItemInput", "BackgroundColorOfPageBlock", 4.5),
    ("typed text in a field on the welcome page", "TextColorOfEnabledItem2", "BackgroundColorOfItemInput", "BackgroundColorOfDefaultItem", 4.5),
    ("read-only field text", "TextColorOfEnabledItem2", "BackgroundColorOfPage", None, 4.5),
    ("placeholder", "TextColorOfEnabledItem4", "BackgroundColorOfItemInput", "BackgroundColorOfPageBlock", 4.5),
    ("button text", "TextColorOfEnabledItem1", "BackgroundColorOfDefaultItem", None, 4.5),
    ("button text under the mouse", "TextColorOfEnabledItem1", "BackgroundColorOfHoverItem", None, 4.5),
    ("footer text, pressed button", "TextColorOfEnabledItem1", "BackgroundColorOfClickedItem", None, 4.5),
    ("table header text", "TextColorOfEnabledItem1", "TableViewHeaderColor", None, 4.5),
    ("light button text", "TextColorOfEnabledItem3", "BackgroundColorOfPageBlock", None, 4.5),
    ("light button text under the mouse", "TextColorOfEnabledItem3", "BackgroundColorOfPage", None, 4.5),
    ("block and dialog titles", "TextColorOfBlockHeader", "BackgroundColorOfPageBlock", None, 4.5),
    ("table row text", "TextColorOfEnabledItem2", "TableViewRowColor", None, 4.5),
    ("selected row text", "TextColorOfEnabledItem2", "TableViewSelectedRowColor", None, 4.5),
    ("field and box borders", "FrameColorOfItem", "BackgroundColorOfPageBlock", None, 3.0),
    ("read-only field border", "FrameColorOfItem", "BackgroundColorOfPage", None, 3.0),
    ("radio ring", "TextColorOfBlockHeader", "BackgroundColorOfPageBlock", None, 3.0),
    ("close cross", "TextColorOfEnabledItem4", "BackgroundColorOfPageBlock", None, 3.0),
    ("focus ring on a block", "TextColorOfEnabledItem2", "BackgroundColorOfPageBlock", None, 3.0),
    ("focus ring around a button", "TextColorOfEnabledItem2", "BackgroundColorOfDefaultItem", None, 3.0),
    ("focus ring on the default colour", "TextColorOfEnabledItem1", "BackgroundColorOfDefaultItem", None, 3.0),
    ("focus ring on the footer", "TextColorOfEnabledItem1", "BackgroundColorOfClickedItem", None, 3.0),
]
# Placeholder and typed text side by side must differ at least this much.
PLACEHOLDER_APART = 1.5


def rgba(value):
    value = NAMED.get(value.strip().lower(), value.strip())
    if value.lower() == "transparent":
        return (0, 0, 0, 0.0)
    if not (value.startswith("#") and len(value) in (7, 9)):
        raise ValueError("not a colour: " + value)
    digits = value[1:]
    alpha = 1.0
    if len(digits) == 8:  # #AARRGGBB, as Qt writes it
        alpha, digits = int(digits[:2], 16) / 255.0, digits[2:]
    return (int(digits[0:2], 16), int(digits[2:4], 16), int(digits[4:6], 16), alpha)


def over(top, under):
    a = top[3]
    return tuple(round(top[i] * a + under[i] * (1 - a)) for i in range(3)) + (1.0,)


def luminance(c):
    def channel(v):
        v /= 255.0
        return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    return 0.2126 * channel(c[0]) + 0.7152 * channel(c[1]) + 0.0722 * channel(c[2])


def ratio(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def check(path):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    theme = parser["Theme"]
    print("== " + path)
    failures = []
    colour = lambda key: rgba(theme[key])
    for what, fg, bg, surface, minimum in PAIRS:
        back = colour(bg)
        if back[3] < 1.0:
            back = over(back, colour(surface or "BackgroundColorOfPageBlock"))
        value = ratio(over(colour(fg), back), back)
        verdict = "ok" if value >= minimum else "FAIL"
        print("%-4s %5.2f:1 (>= %.1f) %s: %s on %s" % (verdict, value, minimum, what, fg, bg))
        if value < minimum:
            failures.append(what)
    block = colour("BackgroundColorOfPageBlock")
    apart = ratio(over(colour("TextColorOfEnabledItem4"), block), over(colour("TextColorOfEnabledItem2"), block))
    print("%-4s %5.2f:1 (>= %.1f) placeholder apart from typed text" % ("ok" if apart >= PLACEHOLDER_APART else "FAIL", apart, PLACEHOLDER_APART))
    if apart < PLACEHOLDER_APART:
        failures.append("placeholder apart from typed text")
    return failures


def main(paths):
    if not paths:
        print(__doc__)
        return 2
    failed = sum(len(check(path)) for path in paths)
    print("%d failed" % failed)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
