// The lesson's mirror (platform/web/page/js/lesson_mirror.js) between the
// core's file system and the teacher's folder, with stand-ins for both: what
// reaches the folder after the core appends, replaces, cuts and regrows a
// file, and after a write that fails.
import assert from "node:assert/strict";
import { test } from "node:test";
import { LessonMirror } from "../../platform/web/page/js/lesson_mirror.js";

const bytes = (text) => new TextEncoder().encode(text);
const text = (data) => new TextDecoder().decode(data);

// The core's file system as the mirror sees it (emscripten's MEMFS): a
// rewrite keeps the inode, a rename gives the name a new one.
class CoreFiles {
  constructor() {
    this.nodes = new Map(); // path → { ino, data, mtime }
    this.nextIno = 1;
    this.clock = 1000;
  }
  mkdirTree() {}
  readdir(folder) {
    return [".", "..", ...[...this.nodes.keys()].filter((p) => p.startsWith(`${folder}/`)).map((p) => p.slice(folder.length + 1))];
  }
  stat(path) {
    const node = this.nodes.get(path);
    if (!node) throw Object.assign(new Error("ENOENT"), { errno: 44 });
    return { ino: node.ino, size: node.data.length, mtime: new Date(node.mtime), mode: 0o100644 };
  }
  isFile(mode) {
    return (mode & 0o170000) === 0o100000;
  }
  readFile(path) {
    return this.nodes.get(path).data.slice();
  }
  writeFile(path, data) {
    const node = this.nodes.get(path);
    const copy = typeof data === "string" ? bytes(data) : Uint8Array.from(data);
    if (node) Object.assign(node, { data: copy, mtime: ++this.clock });
    else this.nodes.set(path, { ino: this.nextIno++, data: copy, mtime: ++this.clock });
  }
  unlink(path) {
    this.nodes.delete(path);
  }
  // As the core writes: appended in place, or a new file renamed over the name.
  append(path, data) {
    const node = this.nodes.get(path);
    const grown = new Uint8Array(node.data.length + data.length);
    grown.set(node.data);
    grown.set(data, node.data.length);
    Object.assign(node, { data: grown, mtime: ++this.clock });
  }
  cut(path, length) {
    const node = this.nodes.get(path);
    Object.assign(node, { data: node.data.slice(0, length), mtime: ++this.clock });
  }
  replace(path, data) {
    this.nodes.set(path, { ino: this.nextIno++, data: Uint8Array.from(data), mtime: ++this.clock });
  }
}

// The teacher's folder as a directory handle: a stream's writes reach the
// file only when it is closed; names in refused fail as the browser fails.
class Folder {
  constructor(files = {}) {
    this.files = new Map(Object.entries(files).map(([name, data]) => [name, Uint8Array.from(data)]));
    this.refused = new Set();
    this.writes = []; // [name, "whole" | "append"]
  }
  async *entries() {
    for (const name of [...this.files.keys()]) yield [name, { kind: "file", getFile: async () => this.fileOf(name) }];
    yield ["pictures", { kind: "directory" }];
  }
  fileOf(name) {
    const data = this.files.get(name) ?? new Uint8Array(0);
    return { size: data.length, arrayBuffer: async () => data.slice().buffer };
  }
  async getFileHandle(name, { create } = {}) {
    if (!this.files.has(name) && !create) throw Object.assign(new Error("not found"), { name: "NotFoundError" });
    return {
      getFile: async () => this.fileOf(name),
      createWritable: async ({ keepExistingData } = {}) => {
        if (this.refused.has(name)) throw Object.assign(new Error("refused"), { name: "NotAllowedError" });
        let swap = keepExistingData ? (this.files.get(name) ?? new Uint8Array(0)).slice() : new Uint8Array(0);
        let appended = false;
        const place = (data, at) => {
          const grown = new Uint8Array(Math.max(swap.length, at + data.length));
          grown.set(swap);
          grown.set(data, at);
          swap = grown;
        };
        return {
          write: async (chunk) => {
            if (chunk instanceof Uint8Array) place(chunk, 0);
            else {
              appended = true;
              place(chunk.data, chunk.position);
            }
          },
          close: async () => {
            this.files.set(name, swap);
            this.writes.push([name, appended ? "append" : "whole"]);
          },
          abort: async () => {},
        };
      },
    };
  }
  text(name) {
    return text(this.files.get(name));
  }
}

const kLesson = "/lessons/test";
const kRecord = "学習記録.csv";

async function loaded(files) {
  const core = new CoreFiles();
  const folder = new Folder(files);
  const failures = [];
  const mirror = new LessonMirror(core, folder, kLesson, (name, error) => failures.push([name, error.name]));
  await mirror.load();
  return { core, folder, mirror, failures, path: (name) => `${kLesson}/${name}` };
}

test("the lesson's files are read, other files and subfolders are not; files gone from the folder go", async () => {
  const { core, folder, mirror, path } = await loaded({
    "いぬ.jpg": [1, 2, 3],
    "Oltar.txt": bytes("#TRUE#\r\n"),
    "movie.mp4": [9],
    "Oltar.txt.kanae-tmp-abc": [7],
  });
  assert.deepEqual(core.readdir(kLesson).slice(2).sort(), ["Oltar.txt", "いぬ.jpg"]);
  folder.files.delete("いぬ.jpg");
  await mirror.load();
  assert.deepEqual(core.readdir(kLesson).slice(2), ["Oltar.txt"]);
  assert.equal(text(core.readFile(path("Oltar.txt"))), "#TRUE#\r\n");
});

test("nothing is written while the core writes nothing", async () => {
  const { folder, mirror } = await loaded({ "いぬ.jpg": [1], [kRecord]: bytes("h\r\n") });
  assert.equal(mirror.sync(), false);
  await mirror.settled();
  assert.deepEqual(folder.writes, []);
});

test("the record's new lines are appended at the folder file's end; lines another program appended stay", async () => {
  const { core, folder, mirror, path } = await loaded({ [kRecord]: bytes("h\r\na\r\n") });
  core.append(path(kRecord), bytes("b\r\n"));
  mirror.sync();
  await mirror.settled();
  assert.equal(folder.text(kRecord), "h\r\na\r\nb\r\n");
  folder.files.set(kRecord, bytes("h\r\na\r\nb\r\nfrom-elsewhere\r\n"));
  core.append(path(kRecord), bytes("c\r\n"));
  mirror.sync();
  await mirror.settled();
  assert.equal(folder.text(kRecord), "h\r\na\r\nb\r\nfrom-elsewhere\r\nc\r\n");
  assert.deepEqual(folder.writes, [[kRecord, "append"], [kRecord, "append"]]);
});

test("a file the core made, replaced, or cut and wrote again is written whole; temporary files never", async () => {
  const cases = [
    ["a new file", (core, path) => core.writeFile(path("Fname.txt"), "いぬ.jpg\r\n"), "Fname.txt", "いぬ.jpg\r\n"],
    ["a replaced file", (core, path) => core.replace(path("Oltar.txt"), bytes("#FALSE#\r\n")), "Oltar.txt", "#FALSE#\r\n"],
    [
      "a record cut and grown past its old length",
      (core, path) => {
        core.cut(path(kRecord), 3);
        core.append(path(kRecord), bytes("x\r\nyyyyyy\r\n"));
      },
      kRecord,
      "h\r\nx\r\nyyyyyy\r\n",
    ],
  ];
  for (const [what, write, name, expected] of cases) {
    const { core, folder, mirror, path } = await loaded({ "Oltar.txt": bytes("#TRUE#\r\n"), [kRecord]: bytes("h\r\ntorn") });
    core.writeFile(path(`${name}.kanae-tmp-xyz`), "half");
    write(core, path);
    mirror.sync();
    await mirror.settled();
    assert.equal(folder.text(name), expected, what);
    assert.deepEqual(folder.writes, [[name, "whole"]], what);
  }
});

test("a write that fails is reported, kept in the core, and written whole at the next write", async () => {
  const { core, folder, mirror, failures, path } = await loaded({ [kRecord]: bytes("h\r\n") });
  folder.refused.add(kRecord);
  core.append(path(kRecord), bytes("a\r\n"));
  mirror.sync();
  await mirror.settled();
  assert.deepEqual(failures, [[kRecord, "NotAllowedError"]]);
  assert.ok(mirror.busy(), "something is unsaved");
  // A fresh read of the folder keeps the core's newer record.
  await mirror.load();
  assert.equal(text(core.readFile(path(kRecord))), "h\r\na\r\n");

  folder.refused.clear();
  core.append(path(kRecord), bytes("b\r\n"));
  mirror.sync();
  await mirror.settled();
  assert.equal(folder.text(kRecord), "h\r\na\r\nb\r\n", "the line that failed is there too");
  assert.deepEqual(folder.writes, [[kRecord, "whole"]]);
  assert.ok(!mirror.busy());
});

test("a failed file is written again on retry, with nothing new from the core", async () => {
  const { core, folder, mirror, failures, path } = await loaded({ "いぬ.jpg": [1] });
  folder.refused.add("Quoma.txt");
  core.writeFile(path("Quoma.txt"), "1,2\r\n");
  mirror.sync();
  await mirror.settled();
  assert.equal(failures.length, 1);
  folder.refused.clear();
  mirror.retry();
  await mirror.settled();
  assert.equal(folder.text("Quoma.txt"), "1,2\r\n");
  assert.ok(!mirror.busy());
});
