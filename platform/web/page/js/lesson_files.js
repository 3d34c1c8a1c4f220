// The page's own folders (the demo lesson, the sound pack) in the core's file
// system, where the games look for them as they look in a folder on the
// desktop. Each file is there by name at once; its bytes come through
// pageFiles (page_files.js) behind the game.
import { pageFiles, soundKey } from "./page_files.js";

// A static server lists no folders: each has an index.json of its files.
export async function listOf(url) {
  const response = await fetch(url + "index.json");
  if (!response.ok) throw new Error(`${url}index.json: ${response.status}`);
  return response.json();
}

const fileUrl = (url, name) => url + encodeURIComponent(name);

// The demo lesson: each picture an empty file until its bytes arrive. The
// games only list the folder; what reads a picture (the renderer, the
// thumbnails, the menu) waits for it with pageFiles.whenIn(path).
// Uncompressed bitmaps come last: the next questions' pictures are then
// most often in already.
export function placeLesson(fs, folder, url, names) {
  fs.mkdirTree(folder);
  const bitmap = (name) => (/\.bmp$/i.test(name) ? 1 : 0);
  for (const name of [...names].sort((a, b) => bitmap(a) - bitmap(b))) {
    const path = `${folder}/${name}`;
    fs.writeFile(path, new Uint8Array(0));
    pageFiles.add(path, fileUrl(url, name), (bytes) => fs.writeFile(path, bytes));
  }
}

// The sound pack: the lesson's check only asks whether each letter's file is
// there, so the core's copy of a sound stays empty; the page plays the
// sounds from its own decoded copies (arrived(name, bytes)).
export function placeSounds(fs, folder, url, names, arrived) {
  fs.mkdirTree(folder);
  for (const name of names) {
    fs.writeFile(`${folder}/${name}`, new Uint8Array(0));
    pageFiles.add(soundKey(name), fileUrl(url, name), (bytes) => arrived(name, bytes));
  }
}
