// The page's one queue into the core (platform/web/page/js/core.js), with a
// stand-in for the wasm module: what the core is handed, and when.
import assert from "node:assert/strict";
import { test } from "node:test";
import { Core } from "../../platform/web/page/js/core.js";

// A module whose exports note their calls; kanae_key(code) may start a wait
// as a cue does, and kanae_wait_ends ends it.
function standIn() {
  const calls = [];
  const module = {};
  let core;
  for (const name of ["pointer", "key", "tick", "frame"]) {
    module[`_kanae_${name}`] = (...args) => {
      calls.push([name, ...args]);
      if (name === "key" && args[0] === 66) core.waitBegins(); // "B": a cue begins, the call returns early
      if (name === "key" && args[0] === 73) core.call("frame", 1); // "I": the core's call leads to another
    };
  }
  core = new Core(module);
  return { core, calls };
}

const settled = () => new Promise((resolve) => setTimeout(resolve, 0));

test("calls made while the core waits are handed in after the wait, in order", async () => {
  const { core, calls } = standIn();
  core.call("key", 66);
  await settled();
  core.call("pointer", 0, 10, 20, 1);
  core.call("tick", 3);
  core.call("pointer", 2, 10, 20, 1);
  await settled();
  assert.deepEqual(calls, [["key", 66]]);
  core.waitEnds();
  await settled();
  assert.deepEqual(calls, [["key", 66], ["pointer", 0, 10, 20, 1], ["tick", 3], ["pointer", 2, 10, 20, 1]]);
});

test("a run of moves or of one timer's ticks counts once; nothing changes its place", async () => {
  const { core, calls } = standIn();
  core.call("key", 66);
  await settled();
  core.callMerged("move", "pointer", 1, 1, 1, 0);
  core.callMerged("move", "pointer", 1, 2, 2, 0);
  core.call("pointer", 0, 2, 2, 1);
  core.callMerged("move", "pointer", 1, 3, 3, 0);
  core.callMerged("tick 1", "tick", 1);
  core.callMerged("tick 1", "tick", 1);
  core.callMerged("tick 2", "tick", 2);
  core.waitEnds();
  await settled();
  assert.deepEqual(calls.slice(1), [
    ["pointer", 1, 2, 2, 0],
    ["pointer", 0, 2, 2, 1],
    ["pointer", 1, 3, 3, 0],
    ["tick", 1],
    ["tick", 2],
  ]);
});

test("a call never runs inside another: what the core starts waits its turn", async () => {
  const { core, calls } = standIn();
  core.call("key", 73);
  core.call("tick", 5);
  await settled();
  assert.deepEqual(calls, [["key", 73], ["tick", 5], ["frame", 1]]);
});

test("a failing call is reported and the queue goes on", async () => {
  const calls = [];
  const failing = new Core({
    _kanae_key: () => {
      throw new Error("trap");
    },
    _kanae_tick: (...args) => calls.push(["tick", ...args]),
  });
  const errors = [];
  const original = console.error;
  console.error = (...args) => errors.push(args);
  try {
    failing.call("key", 1);
    failing.call("tick", 2);
    await settled();
  } finally {
    console.error = original;
  }
  assert.equal(errors.length, 1);
  assert.deepEqual(calls, [["tick", 2]]);
});

test("the page hears when the calls handed in are over, a wait begun counting as over", async () => {
  const { core, calls } = standIn();
  const heard = [];
  core.afterCalls(() => heard.push(calls.length));
  core.call("pointer", 0, 1, 1, 1);
  core.call("tick", 1);
  await settled();
  assert.deepEqual(heard, [2], "once for the two calls, after both");
  core.call("key", 66); // a cue begins: what the call wrote so far is there
  core.call("tick", 2);
  await settled();
  assert.deepEqual(heard, [2, 3], "after the call that began to wait, before the held one");
  core.waitEnds(); // the rest of the waiting call, then the held one
  await settled();
  assert.deepEqual(heard, [2, 3, 4]);
});
