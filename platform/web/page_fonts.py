"""The page's font: IPA Gothic, the face the desktop draws with, in two
pieces. The kana, Latin letters, punctuation and every character of the
page's own texts (about 100 KB as WOFF2) come with the page; the whole font
(3 MB as WOFF2, 6 MB as it is) only when something shows a character beyond
them, such as a picture a teacher named in kanji: the browser picks the piece
by each character (unicode-range). Made by fontTools' subsetter (Debian's
python3-fonttools, python3-brotli for WOFF2); without it the page carries the
whole TrueType font as it is."""
import os
import subprocess
import sys

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
FAMILY = "KanaeGothic"
# Always in the small piece: what a lesson's names and the games' cards are
# written in, and the marks around them.
BLOCKS = ("U+0020-007E,U+00A0-00FF,U+2000-206F,U+2190-21FF,U+2460-24FF,U+25A0-26FF,"
          "U+3000-30FF,U+FF00-FFEF")
TEXT_FILES = (".cpp", ".h", ".js", ".html", ".json", ".css", ".txt", ".cmake")
KANA_PIECE = "kanae-kana.woff2"
WHOLE_PIECE = "kanae-all.woff2"

# One face for every weight: the games' bold letters are drawn with the face
# as it is, as on the desktop, not thickened by the browser.
FACE = """@font-face {{
  font-family: "{family}";
  src: url("{file}") format("{format}");
  font-weight: 100 900;
  font-display: block;{extra}
}}
"""


def page_characters(folders):
    """Every character beyond ASCII in the page's own texts and the core's."""
    characters = set()
    for top in folders:
        for folder, _, names in os.walk(top):
            for name in names:
                if not name.endswith(TEXT_FILES):
                    continue
                try:
                    with open(os.path.join(folder, name), encoding="utf-8") as f:
                        characters.update(c for c in f.read() if ord(c) > 0x7F)
                except (OSError, UnicodeDecodeError):
                    continue
    return "".join(sorted(characters))


def fonttools_python():
    """A Python that has fontTools and brotli: this one, or Debian's."""
    for python in dict.fromkeys((sys.executable, "/usr/bin/python3")):
        if python and subprocess.run([python, "-c", "import fontTools.subset, brotli"],
                                     capture_output=True).returncode == 0:
            return python
    return None


def subset(python, target, options):
    """Writes a WOFF2 piece of the font whole or not at all."""
    partial = target + ".part"
    subprocess.run([python, "-m", "fontTools.subset", FONT, "--flavor=woff2", "--layout-features=*",
                    f"--output-file={partial}"] + options, check=True, capture_output=True)
    os.replace(partial, target)


def unicode_range(python, piece):
    """The characters the piece has, as a CSS unicode-range."""
    code = ("import sys\nfrom fontTools.ttLib import TTFont\n"
            "print(' '.join(map(str, sorted(TTFont(sys.argv[1]).getBestCmap()))))")
    codes = [int(c) for c in subprocess.run([python, "-c", code, piece], capture_output=True, text=True,
                                            check=True).stdout.split()]
    ranges = []
    for c in codes:
        if ranges and ranges[-1][1] == c - 1:
            ranges[-1][1] = c
        else:
            ranges.append([c, c])
    return ", ".join(f"U+{a:X}" if a == b else f"U+{a:X}-{b:X}" for a, b in ranges)


def newer(target, source):
    return os.path.exists(target) and os.path.getmtime(target) >= os.path.getmtime(source)


def remove_stale(fonts, names):
    """An earlier build's other form of the font: the offline copy would keep it."""
    for name in names:
        if os.path.exists(os.path.join(fonts, name)):
            os.remove(os.path.join(fonts, name))


def make_fonts(out, text_folders, write_if_changed, copy_if_changed):
    """The font's pieces in out/fonts and fonts.css declaring them; returns the
    piece the page starts with (to be asked for at once), or None."""
    fonts = os.path.join(out, "fonts")
    os.makedirs(fonts, exist_ok=True)
    css = os.path.join(fonts, "fonts.css")
    if not os.path.exists(FONT):
        print(f"assemble_page: no {FONT} (fonts-ipafont-gothic); the page falls back to the device's fonts",
              file=sys.stderr)
        write_if_changed(css, "")
        return None
    python = fonttools_python()
    if python is None:
        print("assemble_page: no fontTools with brotli (python3-fonttools, python3-brotli): the page carries "
              "the whole font", file=sys.stderr)
        remove_stale(fonts, (KANA_PIECE, WHOLE_PIECE))
        copy_if_changed(FONT, os.path.join(fonts, "ipag.ttf"))
        write_if_changed(css, FACE.format(family=FAMILY, file="ipag.ttf", format="truetype", extra=""))
        return None
    remove_stale(fonts, ("ipag.ttf",))
    # Beside the page, not in it: the page keeps no file it does not use.
    text = os.path.normpath(out) + "-characters.txt"
    write_if_changed(text, page_characters(text_folders))
    kana = os.path.join(fonts, KANA_PIECE)
    if not (newer(kana, FONT) and newer(kana, text)):
        subset(python, kana, [f"--unicodes={BLOCKS}", f"--text-file={text}"])
    whole = os.path.join(fonts, WHOLE_PIECE)
    if not newer(whole, FONT):  # some 20 s: only when the font changed
        subset(python, whole, ["--unicodes=*"])
    # The last face declared is the first the browser looks at for a character.
    write_if_changed(css, FACE.format(family=FAMILY, file=WHOLE_PIECE, format="woff2", extra="")
                     + FACE.format(family=FAMILY, file=KANA_PIECE, format="woff2",
                                   extra=f"\n  unicode-range: {unicode_range(python, kana)};"))
    return "fonts/" + KANA_PIECE
