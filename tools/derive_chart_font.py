#!/usr/bin/env python3
"""Derives the font the chart for her doctor is set in from Noto Sans CJK JP (Debian's fonts-noto-cjk).

A PDF writer builds the text layer by looking each glyph up in the font's character map, and where several code
points share one glyph it takes the lowest of them: the ideograph 日 shares its glyph with the Kangxi radical ⽇,
so a search for 日付 in the PDF finds nothing. The derived font is Noto Sans CJK JP with a family name of its own
and a character map in which each shared glyph keeps no code point below the one Japanese text writes (the
ideograph before a radical or compatibility form, ～ and ・ before their look-alikes); a code point left out is
drawn from Noto Sans CJK JP itself, where it is the lowest of its glyph. Nothing else changes: the outlines are
copied as they are, so that this takes a second.

    derive_chart_font.py SOURCE.ttc WEIGHT OUTPUT.otf LICENCE_IN LICENCE_OUT
"""
import sys

from fontTools.ttLib import TTCollection

SOURCE_FAMILY = "Noto Sans CJK JP"
FAMILY = "Selvane Chart JP"
POSTSCRIPT = "SelvaneChartJP"


def rank(code):
    """Which of the code points sharing a glyph Japanese text writes: the lowest rank wins."""
    if 0x4E00 <= code <= 0x9FFF or 0x3400 <= code <= 0x4DBF or 0x20000 <= code <= 0x3FFFF:
        return 0  # unified ideographs
    if 0xFF01 <= code <= 0xFF60 or 0xFFE0 <= code <= 0xFFE6:
        return 1  # full-width forms, as a Japanese keyboard types ～ and ／
    if 0x3000 <= code <= 0x30FF:
        return 2  # Japanese punctuation and kana
    if 0x2E80 <= code <= 0x2FDF or 0xF900 <= code <= 0xFAFF or 0x2F800 <= code <= 0x2FA1F:
        return 4  # radicals and compatibility ideographs
    return 3


def left_out(cmap):
    """The code points to leave out of the character map: below the preferred one of their glyph, and every
    radical or compatibility form that shares its glyph with another code point."""
    by_glyph = {}
    for code, glyph in cmap.items():
        by_glyph.setdefault(glyph, []).append(code)
    dropped = set()
    for codes in by_glyph.values():
        if len(codes) < 2:
            continue
        preferred = min(codes, key=lambda code: (rank(code), code))
        dropped.update(code for code in codes if code < preferred or (code != preferred and rank(code) == 4))
    return dropped


def rename(font, weight):
    full = f"{FAMILY} {weight}" if weight != "Regular" else FAMILY
    names = {1: FAMILY, 2: weight, 3: f"{POSTSCRIPT}-{weight};derived by Selvane", 4: full,
             6: f"{POSTSCRIPT}-{weight}", 16: FAMILY, 17: weight}
    table = font["name"]
    for record in list(table.names):
        if record.nameID in (16, 17, 18, 21, 22):
            table.removeNames(nameID=record.nameID)
    for name_id, text in names.items():
        if name_id in (16, 17):
            continue  # the family and style above say it all
        table.setName(text, name_id, 3, 1, 0x409)
    # Names in other languages would still say Noto.
    for record in list(table.names):
        if record.nameID in (1, 2, 3, 4, 6) and (record.platformID, record.langID) != (3, 0x409):
            table.removeNames(nameID=record.nameID, platformID=record.platformID, langID=record.langID)


def derive(source, weight, output):
    collection = TTCollection(source, lazy=True, recalcBBoxes=False, recalcTimestamp=False)
    fonts = [font for font in collection.fonts if font["name"].getDebugName(1) == SOURCE_FAMILY]
    if not fonts:
        sys.exit(f"{source} holds no {SOURCE_FAMILY}")
    font = fonts[0]
    dropped = left_out(font.getBestCmap())
    for subtable in font["cmap"].tables:
        if subtable.isUnicode() and subtable.format in (4, 12):
            for code in dropped:
                subtable.cmap.pop(code, None)
    rename(font, weight)
    font.save(output)
    return font["name"].getDebugName(0) or ""


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    source, weight, output, licence_in, licence_out = sys.argv[1:]
    copyright_notice = derive(source, weight, output)
    with open(licence_in, encoding="utf-8") as text:
        licence = text.read()
    with open(licence_out, "w", encoding="utf-8") as out:
        out.write(f"{FAMILY} is derived from {SOURCE_FAMILY}: the same outlines under a name of its own, its\n"
                  "character map without the look-alike code points of shared glyphs.\n\n"
                  f"{copyright_notice}\n\n{licence}")


if __name__ == "__main__":
    main()
