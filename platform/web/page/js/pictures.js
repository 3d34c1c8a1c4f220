// Pictures of the lesson, read from the page's file system and decoded at the
// size they are shown (a camera photo is never kept at full size), a few kept.
// A picture of the page's own lesson still coming in is waited for.
import { pageFiles } from "./page_files.js";

const kKept = 24;

export class Pictures {
  constructor(fs, onArrived) {
    this.fs = fs;
    this.onArrived = onArrived;
    this.decoded = new Map(); // key -> ImageBitmap, or null for a picture that cannot be shown
    this.pending = new Set();
  }

  static key(path, width, height) {
    return `${path}|${width}|${height}`;
  }

  // The decoded picture, null for one that cannot be shown, undefined while it is decoded.
  find(path, width, height) {
    const key = Pictures.key(path, width, height);
    if (!this.decoded.has(key)) return undefined;
    const picture = this.decoded.get(key);
    // Most recently used last.
    this.decoded.delete(key);
    this.decoded.set(key, picture);
    return picture;
  }

  request(path, width, height) {
    const key = Pictures.key(path, width, height);
    if (this.decoded.has(key) || this.pending.has(key)) return;
    this.pending.add(key);
    this.decode(path, width, height)
      .then((bitmap) => this.keep(key, bitmap))
      .catch(() => this.keep(key, null))
      .finally(() => {
        this.pending.delete(key);
        this.onArrived();
      });
  }

  async decode(path, width, height) {
    await pageFiles.whenIn(path);
    const bytes = this.fs.readFile(path);
    const blob = new Blob([bytes]);
    return createImageBitmap(blob, {
      resizeWidth: Math.max(1, width),
      resizeHeight: Math.max(1, height),
      resizeQuality: "high",
    });
  }

  keep(key, bitmap) {
    this.decoded.set(key, bitmap);
    while (this.decoded.size > kKept) {
      const oldest = this.decoded.keys().next().value;
      const old = this.decoded.get(oldest);
      if (old) old.close();
      this.decoded.delete(oldest);
    }
  }
}
