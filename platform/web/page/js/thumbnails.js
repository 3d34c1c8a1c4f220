// The task selection's pictures at thumbnail size, decoded from the core's
// file system only as they come into sight (a folder of hundreds opens at
// once), a couple at a time, never kept at full size.
import { pageFiles } from "./page_files.js";

const kAtOnce = 2;

export class Thumbnails {
  constructor(fs) {
    this.fs = fs;
    this.observer = null;
    this.waiting = [];
    this.running = 0;
    this.generation = 0;
  }

  // Draws the picture at path into canvas once the canvas is near sight in root.
  watch(canvas, path, root) {
    if (!this.observer || this.observer.root !== root) {
      this.stop();
      this.observer = new IntersectionObserver((seen) => this.seen(seen), { root, rootMargin: "50% 0px" });
    }
    canvas.dataset.path = path;
    this.observer.observe(canvas);
  }

  // The dialog is gone: nothing more is decoded for it.
  stop() {
    if (this.observer) this.observer.disconnect();
    this.observer = null;
    this.waiting = [];
    this.generation += 1;
  }

  seen(entries) {
    for (const entry of entries) {
      if (!entry.isIntersecting) continue;
      this.observer.unobserve(entry.target);
      this.waiting.push(entry.target);
    }
    this.next();
  }

  next() {
    while (this.running < kAtOnce && this.waiting.length > 0) {
      const canvas = this.waiting.shift();
      const generation = this.generation;
      this.running += 1;
      this.draw(canvas)
        .catch(() => {
          if (generation === this.generation) drawUnreadable(canvas);
        })
        .finally(() => {
          this.running -= 1;
          if (generation === this.generation) this.next();
        });
    }
  }

  async draw(canvas) {
    const ratio = window.devicePixelRatio || 1;
    const side = Math.max(1, Math.round(canvas.clientWidth * ratio)) || 128;
    await pageFiles.whenIn(canvas.dataset.path);
    const bytes = this.fs.readFile(canvas.dataset.path);
    // One side given: the browser keeps the picture's proportions.
    const bitmap = await createImageBitmap(new Blob([bytes]), { resizeWidth: side, resizeQuality: "medium" });
    try {
      canvas.width = side;
      canvas.height = side;
      const scale = Math.min(side / bitmap.width, side / bitmap.height);
      const [w, h] = [bitmap.width * scale, bitmap.height * scale];
      canvas.getContext("2d").drawImage(bitmap, (side - w) / 2, (side - h) / 2, w, h);
      canvas.dataset.shown = "picture";
    } finally {
      bitmap.close();
    }
  }
}

// A picture the browser cannot read: a question mark in its place.
function drawUnreadable(canvas) {
  const side = 96;
  canvas.width = side;
  canvas.height = side;
  const ctx = canvas.getContext("2d");
  ctx.fillStyle = "#aaa";
  ctx.font = `bold ${side / 3}px sans-serif`;
  ctx.textAlign = "center";
  ctx.textBaseline = "middle";
  ctx.fillText("？", side / 2, side / 2);
  canvas.dataset.shown = "unreadable";
}
