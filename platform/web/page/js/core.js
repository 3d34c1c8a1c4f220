// The core (the games compiled to wasm) and the one queue through which the
// page calls it. While the core waits for a cue to end or for the teacher to
// read a message, it hands the event loop back; touches, keys, timer ticks and
// speech ends that come meanwhile wait in the queue and are handed in
// afterwards, in order, as a desktop window handles them after the cue. As
// there, a timer held back that long ticks once, not once for each interval
// missed: a run of ticks would fill a dwell ring or move the scanning frame
// in one go, though the child had no time to see it.
import createKanaeCore from "../kanae-core.js";

export class Core {
  static async load(page) {
    const module = await createKanaeCore({ page });
    return new Core(module);
  }

  constructor(module) {
    this.module = module;
    this.queue = [];
    this.ticksHeld = new Set();
    this.waiting = false;
    this.flushPlanned = false;
  }

  get fs() {
    return this.module.FS;
  }

  // Calls kanae_<name>(...args) once nothing runs or waits in the core.
  call(name, ...args) {
    this.queue.push(() => this.module["_kanae_" + name](...args));
    this.planFlush();
  }

  // A timer's tick; nothing when one of the same timer is still held.
  tick(timerId) {
    if (this.ticksHeld.has(timerId)) return;
    this.ticksHeld.add(timerId);
    this.queue.push(() => {
      this.ticksHeld.delete(timerId);
      this.module._kanae_tick(timerId);
    });
    this.planFlush();
  }

  // Starts a game; its strings are handed in by ccall, which keeps them until
  // the call has ended, waits included.
  open(program, lessonFolder, traced) {
    this.queue.push(() =>
      this.module.ccall("kanae_open", null, ["string", "string", "number"], [program, lessonFolder, traced ? 1 : 0], {
        async: true,
      }),
    );
    this.planFlush();
  }

  // Never inside a call of the core: a microtask runs once the JavaScript
  // stack is empty, so the core is idle or waiting by then.
  planFlush() {
    if (this.flushPlanned) return;
    this.flushPlanned = true;
    queueMicrotask(() => {
      this.flushPlanned = false;
      this.flush();
    });
  }

  flush() {
    while (!this.waiting && this.queue.length > 0) {
      const next = this.queue.shift();
      try {
        next();
      } catch (error) {
        console.error("kanae: the core failed", error);
      }
    }
  }

  waitBegins() {
    this.waiting = true;
  }

  waitEnds() {
    this.waiting = false;
    // The core goes on with the rest of the call first; held input after.
    this.planFlush();
  }
}
