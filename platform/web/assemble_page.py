#!/usr/bin/env python3
"""Puts the page together: its own files, the font, the guide, the demo
lesson and the sound pack, each folder with an index.json of its files (a
static server lists no folders); the app's icons; and the service worker with
the list of every file it keeps for use offline."""
import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys

from page_fonts import make_fonts


def copy_if_changed(source, target):
    if os.path.exists(target):
        s, t = os.stat(source), os.stat(target)
        if s.st_size == t.st_size and int(s.st_mtime) == int(t.st_mtime):
            return
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy2(source, target)


def copy_tree(source, target, leave_out=()):
    for folder, _, files in os.walk(source):
        for name in files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, source)
            if relative not in leave_out:
                copy_if_changed(path, os.path.join(target, relative))


def copy_listed_folder(source, target, what, wanted):
    """Copies the wanted files of a flat folder and lists them; a missing
    folder leaves the page without it, said once."""
    os.makedirs(target, exist_ok=True)
    names = []
    if os.path.isdir(source):
        names = sorted(n for n in os.listdir(source) if os.path.isfile(os.path.join(source, n)) and wanted(n))
        for name in names:
            copy_if_changed(os.path.join(source, name), os.path.join(target, name))
    else:
        print(f"assemble_page: no {what} at {source} (build the desktop's demo_lesson and sound_pack first)",
              file=sys.stderr)
    write_if_changed(os.path.join(target, "index.json"), json.dumps(names, ensure_ascii=False))
    return names


def wav_seconds(data):
    """A PCM .wav's length from its header (the data chunk over the bytes per
    second), as the page reads it; 0 when the header is not one."""
    if len(data) < 12 or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        return 0
    bytes_per_second = 0
    at = 12
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], int.from_bytes(data[at + 4:at + 8], "little")
        if tag == b"fmt " and at + 20 <= len(data):
            bytes_per_second = int.from_bytes(data[at + 16:at + 20], "little")
        if tag == b"data":
            return min(size, len(data) - at - 8) / bytes_per_second if bytes_per_second > 0 else 0
        at += 8 + size + size % 2
    return 0


def write_sound_lengths(folder, names):
    """Each sound's length in seconds: the page times a cue from the start,
    before the sound's file has come in."""
    lengths = {}
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            seconds = wav_seconds(f.read())
        if seconds > 0:
            lengths[name] = round(seconds, 6)
    write_if_changed(os.path.join(folder, "lengths.json"), json.dumps(lengths, ensure_ascii=False))


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def write_bytes_if_changed(path, data):
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# The icon on a full square of its own colour, drawn smaller: a home screen
# that cuts icons to a circle or a rounded square keeps the whole card (its
# corners stay inside the middle circle of 80 % that such a cut keeps).
MASKABLE = """<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <rect width="256" height="256" fill="{colour}"/>
  <svg x="19.2" y="19.2" width="217.6" height="217.6" viewBox="0 0 256 256">{inner}</svg>
</svg>
"""


def make_icons(svg, out):
    """The app's icons from the menu's drawing, by librsvg's rsvg-convert: 192
    and 512 px, and 512 px for home screens that cut icons to their own shape."""
    rsvg = shutil.which("rsvg-convert")
    if rsvg is None:
        print("assemble_page: no rsvg-convert (librsvg2-bin): the page has no app icons and cannot be installed",
              file=sys.stderr)
        return
    with open(svg, encoding="utf-8") as f:
        drawing = f.read()
    inner = drawing[drawing.index(">", drawing.index("<svg")) + 1:drawing.rindex("</svg>")]
    colour = drawing.split('fill="', 1)[1].split('"', 1)[0]  # the drawing's first fill: its ground
    maskable = MASKABLE.format(colour=colour, inner=inner).encode("utf-8")
    for name, size, source in (("kanae-192.png", 192, drawing.encode("utf-8")),
                               ("kanae-512.png", 512, drawing.encode("utf-8")),
                               ("kanae-maskable-512.png", 512, maskable)):
        png = subprocess.run([rsvg, "--width", str(size), "--height", str(size), "--format", "png"],
                             input=source, capture_output=True, check=True).stdout
        write_bytes_if_changed(os.path.join(out, "icons", name), png)


def write_service_worker(template, out):
    """The service worker: its code after the list of every file of the page
    and a version made of their contents, so any changed file makes the
    browser fetch the new version (it compares the worker's own bytes)."""
    files = []
    version = hashlib.sha256()
    for folder, _, names in os.walk(out):
        for name in names:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, out).replace(os.sep, "/")
            if relative == "sw.js" or name.startswith("."):
                continue
            files.append(relative)
    files.sort()
    for relative in files:
        with open(os.path.join(out, relative), "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        version.update(f"{relative}\0{digest}\n".encode("utf-8"))
    precache = {"version": version.hexdigest()[:16], "files": files}
    with open(template, encoding="utf-8") as f:
        code = f.read()
    write_if_changed(os.path.join(out, "sw.js"),
                     "const kPrecache = " + json.dumps(precache, ensure_ascii=False, indent=1) + ";\n" + code)


def write_index(page, out, first_font):
    """The page's index.html, asking at once for every module of the page, for
    the core and for the lists the page starts from: a browser finds an import
    only when the module that imports it has come in, one level after
    another, and the rest only when the page's code asks for it."""
    with open(os.path.join(page, "index.html"), encoding="utf-8") as f:
        html = f.read()
    start = '<script type="module" src="js/main.js"></script>'
    if start not in html:
        sys.exit("assemble_page: index.html does not start js/main.js as a module")
    scripts = sorted("js/" + name for name in os.listdir(os.path.join(page, "js"))
                     if name.endswith(".js") and not name.endswith("_worker.js"))
    links = [f'<link rel="modulepreload" href="{script}">' for script in scripts + ["kanae-core.js"]]
    if first_font:
        links.append(f'<link rel="preload" href="{first_font}" as="font" type="font/woff2" crossorigin>')
    # Fetched by the core's loader and the page's code with the credentials
    # of a same-origin fetch, as here.
    links.append('<link rel="preload" href="kanae-core.wasm" as="fetch" type="application/wasm" crossorigin>')
    for listing in ("games.json", "lessons/demo/index.json", "sounds/index.json", "sounds/lengths.json"):
        links.append(f'<link rel="preload" href="{listing}" as="fetch" crossorigin>')
    write_if_changed(os.path.join(out, "index.html"), html.replace(start, "\n".join(links + [start])))


def games_json(table):
    games = []
    with open(table, encoding="utf-8") as f:
        for line in f:
            if not line.strip():
                continue
            program, title, letter, colour, does, teaches = line.rstrip("\n").split("|")
            games.append({"program": program, "title": title, "letter": letter, "colour": colour,
                          "does": does, "teaches": teaches})
    return json.dumps(games, ensure_ascii=False, indent=1)


def main():
    parser = argparse.ArgumentParser()
    for option in ("page", "out", "games", "lesson", "sounds", "guide", "icon"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("--texts", nargs="*", default=[],
                        help="folders whose texts the page shows: their characters come with the page's font")
    args = parser.parse_args()
    copy_tree(args.page, args.out, leave_out={"sw.js", "index.html"})
    copy_tree(args.guide, os.path.join(args.out, "guide"))
    first_font = make_fonts(args.out, args.texts, write_if_changed, copy_if_changed)
    write_index(args.page, args.out, first_font)
    write_if_changed(os.path.join(args.out, "games.json"), games_json(args.games))
    # Only the drawn pictures: a game played on the desktop's copy of the
    # lesson leaves its settings, selection and record beside them.
    copy_listed_folder(args.lesson, os.path.join(args.out, "lessons", "demo"), "demo lesson",
                       lambda n: n.lower().endswith((".jpg", ".jpeg", ".gif", ".bmp")))
    sounds = os.path.join(args.out, "sounds")
    write_sound_lengths(sounds, copy_listed_folder(args.sounds, sounds, "sound pack",
                                                   lambda n: n.lower().endswith((".wav", ".ico"))))
    make_icons(args.icon, args.out)
    # Last: it lists what is in the folder by now.
    write_service_worker(os.path.join(args.page, "sw.js"), args.out)


if __name__ == "__main__":
    main()
