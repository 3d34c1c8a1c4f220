// Cues and letter sounds through Web Audio: each sound of the pack decoded
// once, as it arrives behind the game, so a touch's cue starts at once. Each
// cue's length is known from the start (the pack's lengths.json), so a cue
// that sounds before the browser lets sound out (after a first touch) or
// before its file is in keeps its time silently: the game's rhythm is the
// same.
import { pageFiles, soundKey } from "./page_files.js";

const kLongestLettersWaitMs = 2000;

// The length of a PCM .wav from its header: the data chunk's size over the
// bytes per second; 0 when the header is not one.
export function wavSeconds(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const tag = (at) => String.fromCharCode(...bytes.subarray(at, at + 4));
  if (bytes.length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return 0;
  let bytesPerSecond = 0;
  for (let at = 12; at + 8 <= bytes.length; ) {
    const size = view.getUint32(at + 4, true);
    if (tag(at) === "fmt " && at + 20 <= bytes.length) bytesPerSecond = view.getUint32(at + 16, true);
    if (tag(at) === "data") return bytesPerSecond > 0 ? Math.min(size, bytes.length - at - 8) / bytesPerSecond : 0;
    at += 8 + size + (size % 2);
  }
  return 0;
}

export class Sound {
  constructor() {
    this.context = null; // made when first needed: making one is slow at the start
    this.buffers = new Map();
    this.lengths = new Map(); // seconds, from each file's header
    this.cue = null;
    this.cueEnd = 0;
    this.speech = null;
    this.speechTimer = 0;
    this.lettersTurn = 0;
  }

  // Each sound's length in seconds, by file name, before the files are in.
  knowLengths(seconds) {
    for (const [name, length] of Object.entries(seconds)) {
      if (typeof length === "number" && length > 0 && !this.lengths.has(name)) this.lengths.set(name, length);
    }
  }

  // The audio context, made at its first use; null where there is none.
  audio() {
    if (this.context === null) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (Context) this.context = new Context();
    }
    return this.context;
  }

  get audible() {
    return this.context !== null && this.context.state === "running";
  }

  // Decodes a .wav of the pack; a file that will not decode stays silent.
  // Its length is known from its header at once, so a cue asked for before
  // it is decoded keeps its time, silently.
  async decode(name, bytes) {
    if (!name.toLowerCase().endsWith(".wav")) return;
    const seconds = wavSeconds(bytes);
    if (seconds > 0) this.lengths.set(name, seconds);
    if (!this.audio()) return;
    try {
      // decodeAudioData takes the buffer over: it gets a copy.
      this.buffers.set(name, await this.context.decodeAudioData(bytes.slice().buffer));
    } catch (error) {
      console.warn(`kanae: the sound ${name} cannot be played`, error);
    }
  }

  // Called from a touch: the browser lets sound out from now.
  unlock() {
    if (this.audio() && this.context.state !== "running") return this.context.resume().catch(() => {});
    return Promise.resolve();
  }

  start(buffer) {
    if (!this.audible) return null;
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    source.connect(this.context.destination);
    source.start();
    return source;
  }

  // Returns whether the pack holds the file; it then sounds for its length.
  playCue(name) {
    this.stopCue();
    const buffer = this.buffers.get(name);
    const seconds = buffer ? buffer.duration : this.lengths.get(name);
    if (!buffer) pageFiles.whenIn(soundKey(name)); // sooner than its turn, for the next time
    if (seconds === undefined) return false;
    if (buffer) this.cue = this.start(buffer);
    this.cueEnd = performance.now() + seconds * 1000;
    return true;
  }

  cueRemainingMs() {
    return Math.max(0, this.cueEnd - performance.now());
  }

  stopCue() {
    if (this.cue) {
      try {
        this.cue.stop();
      } catch (error) {
        // already ended
      }
      this.cue = null;
    }
    this.cueEnd = 0;
  }

  // The letters' own sounds one after another, for a device with no
  // Japanese voice; onEnd once the last has sounded (or at once for none).
  // Letters whose files are not in yet are waited for, a while: a file that
  // does not come must not hold the game (the letters in by then sound).
  playLetters(files, onEnd) {
    this.stopLetters();
    const turn = this.lettersTurn;
    const arrived = Promise.all(files.map((name) => pageFiles.whenIn(soundKey(name))));
    const waitedEnough = new Promise((resolve) => setTimeout(resolve, kLongestLettersWaitMs));
    Promise.race([arrived, waitedEnough]).then(() => {
      if (turn === this.lettersTurn) this.playDecoded(files, onEnd);
    });
  }

  playDecoded(files, onEnd) {
    const buffers = files.map((name) => this.buffers.get(name)).filter(Boolean);
    const next = () => {
      const buffer = buffers.shift();
      if (!buffer) {
        this.speech = null;
        this.speechTimer = setTimeout(onEnd, 0);
        return;
      }
      this.speech = this.start(buffer);
      this.speechTimer = setTimeout(next, buffer.duration * 1000 + 60);
    };
    next();
  }

  stopLetters() {
    this.lettersTurn += 1;
    clearTimeout(this.speechTimer);
    if (this.speech) {
      try {
        this.speech.stop();
      } catch (error) {
        // already ended
      }
      this.speech = null;
    }
  }
}
