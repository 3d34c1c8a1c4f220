// A lesson as the games see it: a folder in the core's file system, where the
// C++ reads and writes it as it does a folder on the desktop, mirrored to the
// teacher's folder (a directory handle: a folder she chose, or a folder in
// the page's own storage). What the core writes there is written back byte
// for byte after each call into the core, so the folder is the same file for
// file as the desktop games would have left it.
//
// The core's writes are found by comparing each file's inode, size and time
// with what was last taken (a stat per file, nothing read when nothing
// changed): the core replaces a file by writing a new one and renaming it,
// which makes a new inode, and appends to the record in place, which grows it.
// A record that only grew gets the new lines appended at the file's end, as
// the desktop appends; anything else is replaced whole (file_writer.js says
// how the browser keeps a replacement whole).
import { writeFile } from "./file_writer.js";
import { crc32 } from "./zip.js";

// The core's own temporary files, renamed over the name within one call.
const kTemporaryMark = ".kanae-tmp-";
// Pictures in formats the games do not show are read too: the lesson's check
// names them to the teacher.
const kLessonFile = /\.(jpe?g|jpe|jfif|gif|bmp|png|tiff?|webp|txt|csv|wav)$/i;
const kPicture = /\.(jpg|gif|bmp)$/i; // the ones the games show
// A bigger file is not a lesson's: it is left in the folder, not read.
const kLargestFile = 64 * 1024 * 1024;

export const isPicture = (name) => kPicture.test(name) && !name.startsWith(".");
export const isLessonFile = (name) => kLessonFile.test(name) && !name.startsWith(".") && !name.includes(kTemporaryMark);

const sameStamp = (a, b) => a.ino === b.ino && a.size === b.size && a.mtime === b.mtime;

export class LessonMirror {
  // fs: the core's file system; folder: the lesson's path in it;
  // onFailure(name, error): a file could not be written back.
  constructor(fs, handle, folder, onFailure) {
    this.fs = fs;
    this.handle = handle;
    this.folder = folder;
    this.onFailure = onFailure;
    this.taken = new Map(); // name → { ino, size, mtime, crc } as last read or handed to a write
    this.unsaved = new Set(); // names whose last write failed: the next write of each is whole
    this.writes = Promise.resolve();
    this.inFlight = 0; // writes handed over and not yet ended
  }

  // Whether closing the page now would lose what the core wrote.
  busy() {
    return this.inFlight > 0 || this.unsaved.size > 0;
  }

  path(name) {
    return `${this.folder}/${name}`;
  }

  // The file's inode, size and time; null when it is not a regular file.
  stampOf(name) {
    let stat;
    try {
      stat = this.fs.stat(this.path(name));
    } catch {
      return null;
    }
    if (!this.fs.isFile(stat.mode)) return null;
    return { ino: stat.ino, size: stat.size, mtime: stat.mtime.getTime() };
  }

  // The regular files in the core's copy, temporary ones left out: name → stamp.
  stamps() {
    const stamps = new Map();
    let names;
    try {
      names = this.fs.readdir(this.folder);
    } catch {
      return stamps;
    }
    for (const name of names) {
      if (name === "." || name === ".." || name.includes(kTemporaryMark)) continue;
      const stamp = this.stampOf(name);
      if (stamp !== null) stamps.set(name, stamp);
    }
    return stamps;
  }

  // Copies the folder's pictures and the teacher's files into the core, a
  // fresh copy each time a game starts (the desktop may have changed them).
  // A file the core wrote that could not yet be written back is kept as the
  // core left it.
  async load() {
    await this.settled();
    this.fs.mkdirTree(this.folder);
    const found = new Set();
    for await (const [name, entry] of this.handle.entries()) {
      if (entry.kind !== "file" || !isLessonFile(name)) continue;
      found.add(name);
      if (this.unsaved.has(name)) continue;
      const file = await entry.getFile();
      if (file.size > kLargestFile) continue;
      const bytes = new Uint8Array(await file.arrayBuffer());
      this.fs.writeFile(this.path(name), bytes);
      this.taken.set(name, { ...this.stampOf(name), crc: isPicture(name) ? null : crc32(bytes) });
    }
    for (const name of this.stamps().keys()) {
      if (found.has(name) || this.unsaved.has(name)) continue;
      this.fs.unlink(this.path(name));
      this.taken.delete(name);
    }
  }

  // After each call into the core: writes back what it wrote since, in order.
  sync() {
    const due = [];
    for (const [name, stamp] of this.stamps()) {
      const taken = this.taken.get(name);
      if (!taken || !sameStamp(taken, stamp)) due.push(name);
    }
    if (due.length === 0) return false;
    // A file that failed before is tried again along with the new writes.
    for (const name of this.unsaved) if (!due.includes(name) && this.stampOf(name)) due.push(name);
    for (const name of due) {
      const bytes = this.fs.readFile(this.path(name)); // a copy: as the core left it by now
      const stamp = this.stampOf(name);
      const taken = this.taken.get(name);
      const grew =
        taken && taken.crc !== null && taken.ino === stamp.ino && taken.size < bytes.length &&
        crc32(bytes.subarray(0, taken.size)) === taken.crc;
      this.taken.set(name, { ...stamp, crc: crc32(bytes) });
      this.queueWrite(name, bytes, grew ? taken.size : -1);
    }
    return true;
  }

  queueWrite(name, bytes, from) {
    ++this.inFlight;
    this.writes = this.writes.then(async () => {
      try {
        // After a failed write the folder may lack earlier lines: whole.
        await writeFile(this.handle, name, bytes, this.unsaved.has(name) ? -1 : from);
        this.unsaved.delete(name);
      } catch (error) {
        this.unsaved.add(name);
        this.onFailure(name, error);
      } finally {
        --this.inFlight;
      }
    });
  }

  // Writes again, whole, every file whose write failed.
  retry() {
    for (const name of this.unsaved) {
      if (this.stampOf(name)) this.queueWrite(name, this.fs.readFile(this.path(name)), -1);
    }
  }

  // Resolves once every write handed over has ended (written or failed).
  settled() {
    return this.writes;
  }
}
