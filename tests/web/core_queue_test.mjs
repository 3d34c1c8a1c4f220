// The page's queue into the core: what it hands in while the core waits for a
// cue or a message, and in which order, with a stand-in for the core.
// usage: node core_queue_test.mjs PAGE_DIR (the assembled page, for js/core.js)
import assert from "node:assert/strict";
import { join, resolve } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";

const pageDir = process.argv[2];
if (!pageDir) throw new Error("usage: node core_queue_test.mjs PAGE_DIR");
const { Core } = await import(pathToFileURL(join(resolve(pageDir), "js/core.js")).href);

// A core that notes each call it gets.
function coreWithLog() {
  const log = [];
  const module = {
    _kanae_tick: (id) => log.push(`tick ${id}`),
    _kanae_pointer: (what, x, y, button) => log.push(`pointer ${what} ${x} ${y} ${button}`),
    _kanae_key: (code) => log.push(`key ${code}`),
  };
  return { core: new Core(module), log };
}

const settled = () => new Promise((done) => setTimeout(done, 0));

const cases = [
  {
    name: "a timer held back by a wait ticks once after it, each timer once",
    waits: true,
    calls: (core) => {
      for (let i = 0; i < 20; i++) core.tick(1);
      core.tick(2);
      core.tick(2);
    },
    expected: ["tick 1", "tick 2"],
  },
  {
    name: "touches and keys held back by a wait all come after it, in order, ticks among them",
    waits: true,
    calls: (core) => {
      core.call("pointer", 0, 10, 20, 1);
      core.tick(3);
      core.call("pointer", 2, 10, 20, 1);
      core.tick(3);
      core.call("key", 27);
    },
    expected: ["pointer 0 10 20 1", "tick 3", "pointer 2 10 20 1", "key 27"],
  },
  {
    name: "without a wait every tick reaches the core",
    waits: false,
    calls: async (core) => {
      core.tick(1);
      await settled();
      core.tick(1);
      await settled();
      core.tick(1);
    },
    expected: ["tick 1", "tick 1", "tick 1"],
  },
];

for (const c of cases) {
  test(c.name, async () => {
    const { core, log } = coreWithLog();
    if (c.waits) core.waitBegins();
    await c.calls(core);
    await settled();
    if (c.waits) {
      assert.deepEqual(log, [], "nothing reaches a waiting core");
      core.waitEnds();
      await settled();
    }
    assert.deepEqual(log, c.expected);
  });
}

test("a tick after the held one was handed in is a tick of its own", async () => {
  const { core, log } = coreWithLog();
  core.waitBegins();
  core.tick(1);
  core.tick(1);
  core.waitEnds();
  await settled();
  core.waitBegins();
  core.tick(1);
  core.waitEnds();
  await settled();
  assert.deepEqual(log, ["tick 1", "tick 1"]);
});
