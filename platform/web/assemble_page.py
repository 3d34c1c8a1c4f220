#!/usr/bin/env python3
"""Puts the page together: its own files, the font, the guide, the demo
lesson and the sound pack, each folder with an index.json of its files (a
static server lists no folders)."""
import argparse
import json
import os
import shutil
import sys

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"


def copy_if_changed(source, target):
    if os.path.exists(target):
        s, t = os.stat(source), os.stat(target)
        if s.st_size == t.st_size and int(s.st_mtime) == int(t.st_mtime):
            return
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy2(source, target)


def copy_tree(source, target):
    for folder, _, files in os.walk(source):
        for name in files:
            path = os.path.join(folder, name)
            copy_if_changed(path, os.path.join(target, os.path.relpath(path, source)))


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


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


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
    for option in ("page", "out", "games", "lesson", "sounds", "guide"):
        parser.add_argument("--" + option, required=True)
    args = parser.parse_args()
    copy_tree(args.page, args.out)
    copy_tree(args.guide, os.path.join(args.out, "guide"))
    if os.path.exists(FONT):
        copy_if_changed(FONT, os.path.join(args.out, "fonts", "ipag.ttf"))
    else:
        print(f"assemble_page: no {FONT} (fonts-ipafont-gothic); the page falls back to the device's fonts",
              file=sys.stderr)
    write_if_changed(os.path.join(args.out, "games.json"), games_json(args.games))
    # Only the drawn pictures: a game played on the desktop's copy of the
    # lesson leaves its settings, selection and record beside them.
    copy_listed_folder(args.lesson, os.path.join(args.out, "lessons", "demo"), "demo lesson",
                       lambda n: n.lower().endswith((".jpg", ".jpeg", ".gif", ".bmp")))
    copy_listed_folder(args.sounds, os.path.join(args.out, "sounds"), "sound pack",
                       lambda n: n.lower().endswith((".wav", ".ico")))


if __name__ == "__main__":
    main()
