// The page's own files coming in behind the game (platform/web/page/js/
// page_files.js), with a stand-in network whose answers the test releases.
import assert from "node:assert/strict";
import { test } from "node:test";
import { PageFiles } from "../../platform/web/page/js/page_files.js";

// fetchBytes(url) stays open until the test answers it (or fails it).
function network() {
  const open = new Map();
  const asked = [];
  const fetchBytes = (url) =>
    new Promise((resolve, reject) => {
      asked.push(url);
      open.set(url, { resolve, reject });
    });
  const answer = async (url, bytes = new Uint8Array([1])) => {
    open.get(url).resolve(bytes);
    open.delete(url);
    await new Promise((resolve) => setTimeout(resolve, 0));
  };
  const fail = async (url) => {
    open.get(url).reject(new Error("404"));
    open.delete(url);
    await new Promise((resolve) => setTimeout(resolve, 0));
  };
  return { fetchBytes, asked, open, answer, fail };
}

function filesOf(net, count) {
  const files = new PageFiles(net.fetchBytes);
  const arrived = [];
  for (let i = 0; i < count; i++) files.add(`f${i}`, `u${i}`, (bytes) => arrived.push([`f${i}`, bytes[0]]));
  return { files, arrived };
}

test("nothing is fetched before start; then four at a time, in order", async () => {
  const net = network();
  const { files, arrived } = filesOf(net, 6);
  await new Promise((resolve) => setTimeout(resolve, 0));
  assert.deepEqual(net.asked, [], "names only until started");
  files.start();
  assert.deepEqual(net.asked, ["u0", "u1", "u2", "u3"]);
  await net.answer("u1");
  assert.deepEqual(net.asked, ["u0", "u1", "u2", "u3", "u4"], "one in, the next one asked for");
  assert.deepEqual(arrived, [["f1", 1]]);
  files.start();
  assert.equal(net.asked.length, 5, "starting again asks for nothing more");
});

test("a file waited for is fetched at once, ahead of its turn, and only once", async () => {
  const net = network();
  const { files, arrived } = filesOf(net, 8);
  const waited = files.whenIn("f6");
  assert.deepEqual(net.asked, ["u6"], "fetched before the others are started");
  files.start();
  assert.deepEqual(net.asked, ["u6", "u0", "u1", "u2", "u3"], "the background still takes four");
  const again = files.whenIn("f6");
  assert.equal(net.asked.filter((url) => url === "u6").length, 1);
  await net.answer("u6", new Uint8Array([7]));
  assert.equal(await waited, true);
  assert.equal(await again, true);
  assert.deepEqual(arrived, [["f6", 7]], "its bytes handed over before it is said to be in");
  assert.equal(await files.whenIn("nobody's"), true, "a file not added is there already");
});

test("a file that fails is said so, and asked for again when waited for again", async () => {
  const net = network();
  const { files, arrived } = filesOf(net, 1);
  const first = files.whenIn("f0");
  await net.fail("u0");
  assert.equal(await first, false);
  const second = files.whenIn("f0");
  assert.deepEqual(net.asked, ["u0", "u0"]);
  await net.answer("u0");
  assert.equal(await second, true);
  assert.deepEqual(arrived, [["f0", 1]]);
});

test("allIn resolves once every file is in or has failed, not before", async () => {
  const net = network();
  const { files } = filesOf(net, 5);
  let all = false;
  files.allIn().then(() => (all = true));
  files.start();
  for (const url of ["u0", "u1", "u2"]) await net.answer(url);
  await net.fail("u3");
  assert.equal(all, false, "u4 still coming");
  await net.answer("u4");
  assert.equal(all, true);
});
