// The core (the games compiled to wasm) and the one queue through which the
// page calls it. While the core waits for a cue to end or for the teacher to
// read a message, it hands the event loop back; touches, keys, timer ticks and
// speech ends that come meanwhile wait in the queue and are handed in
// afterwards, in order, as a desktop window handles them after the cue.
export class Core {
  // createModule: the factory emscripten made (kanae-core.js).
  static async load(createModule, page) {
    return new Core(await createModule({ page }));
  }

  constructor(module) {
    this.module = module;
    this.queue = [];
    this.waiting = false;
    this.flushPlanned = false;
    this.afterCallsListeners = [];
  }

  // listener() runs each time the calls queued so far have been handed in
  // (or the core has begun to wait): what they wrote is in the file system.
  afterCalls(listener) {
    this.afterCallsListeners.push(listener);
  }

  get fs() {
    return this.module.FS;
  }

  // Calls kanae_<name>(...args) once nothing runs or waits in the core.
  call(name, ...args) {
    this.queue.push({ run: () => this.module["_kanae_" + name](...args) });
    this.planFlush();
  }

  // As call, but when the call waiting last in the queue is of the same
  // kind, it is replaced: a timer that missed ticks during a cue ticks once
  // after it, and of a run of pointer moves only the last counts, as a
  // desktop window merges them. Nothing changes its place in the order.
  callMerged(kind, name, ...args) {
    const run = () => this.module["_kanae_" + name](...args);
    const last = this.queue[this.queue.length - 1];
    if (last && last.kind === kind) {
      last.run = run;
      return;
    }
    this.queue.push({ kind, run });
    this.planFlush();
  }

  // Starts a game; its strings are handed in by ccall, which keeps them until
  // the call has ended, waits included.
  open(program, lessonFolder, traced) {
    this.queue.push({
      run: () =>
        this.module.ccall("kanae_open", null, ["string", "string", "number"], [program, lessonFolder, traced ? 1 : 0], {
          async: true,
        }),
    });
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
        next.run();
      } catch (error) {
        console.error("kanae: the core failed", error);
      }
    }
    for (const listener of this.afterCallsListeners) {
      try {
        listener();
      } catch (error) {
        console.error("kanae: after the core's calls", error);
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
