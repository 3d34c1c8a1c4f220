// The files of the page's own folders (the demo lesson, the sound pack) come
// in behind the game: their names are known at once, so the lesson's check
// and the menu see every file, and their bytes arrive in the background, a
// few at a time, a file that something waits for first. A page that waited
// for all of them (some 10 MB) before its first question would start seconds
// later on a school's network.
const kAtOnce = 4;

export class PageFiles {
  constructor(fetchBytes = fetchBytesOf) {
    this.fetchBytes = fetchBytes;
    this.files = new Map(); // key → { url, onArrived, state, promise, resolve }
    this.queue = []; // keys not yet asked for, in the order they were added
    this.started = false;
    this.running = 0; // background fetches under way
    this.fetching = 0; // all fetches under way
    this.drained = null;
    this.allInPromise = new Promise((resolve) => (this.drained = resolve));
  }

  // The file at url (relative to the page) is known by key; onArrived(bytes)
  // takes its bytes once they are in (it may return a promise).
  add(key, url, onArrived) {
    const file = { url, onArrived, state: "queued" };
    this.renew(file);
    this.files.set(key, file);
    this.queue.push(key);
  }

  renew(file) {
    file.promise = new Promise((resolve) => (file.resolve = resolve));
  }

  // Begins fetching in the background, in order (again: nothing more). Not
  // at once: a fetch costs the page's one thread some time as it starts and
  // ends, which a page still starting has better uses for.
  start() {
    this.started = true;
    this.pump();
  }

  // Resolves to true once the file is in, false when it could not be
  // fetched (asking again tries again); true at once for a key not added.
  whenIn(key) {
    const file = this.files.get(key);
    if (file === undefined) return Promise.resolve(true);
    if (file.state === "queued") {
      this.queue.splice(this.queue.indexOf(key), 1);
      this.fetch(file, false);
    } else if (file.state === "failed") {
      this.renew(file);
      this.fetch(file, false);
    }
    return file.promise;
  }

  // Resolves once every file added has been fetched or has failed.
  allIn() {
    return this.allInPromise;
  }

  pump() {
    while (this.started && this.running < kAtOnce && this.queue.length > 0) {
      this.fetch(this.files.get(this.queue.shift()), true);
    }
    if (this.fetching === 0 && this.queue.length === 0) this.drained();
  }

  async fetch(file, background) {
    file.state = "fetching";
    this.fetching += 1;
    if (background) this.running += 1;
    try {
      await file.onArrived(await this.fetchBytes(file.url));
      file.state = "in";
      file.resolve(true);
    } catch (error) {
      console.warn(`kanae: ${file.url} could not be fetched`, error);
      file.state = "failed";
      file.resolve(false);
    } finally {
      this.fetching -= 1;
      if (background) this.running -= 1;
      this.pump();
    }
  }
}

async function fetchBytesOf(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  return new Uint8Array(await response.arrayBuffer());
}

// A sound of the pack, as pageFiles knows it.
export const soundKey = (name) => `sound:${name}`;

// The one set of the page's files: the renderer, the thumbnails and the
// sounds wait on it for a file that is not in yet.
export const pageFiles = new PageFiles();
