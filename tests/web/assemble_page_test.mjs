// Putting the page together (platform/web/assemble_page.py) on a small page:
// the service worker lists every file of the page, and its version changes
// with any file's contents and only then.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { test } from "node:test";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const source = join(here, "..", "..");
const script = join(source, "platform", "web", "assemble_page.py");

function makeSources(root) {
  const page = join(root, "page");
  mkdirSync(join(page, "js"), { recursive: true });
  writeFileSync(join(page, "index.html"), '<!doctype html><title>かなえ</title>\n<script type="module" src="js/main.js"></script>\n');
  writeFileSync(join(page, "js", "main.js"), "export {};\n");
  writeFileSync(join(page, "sw.js"), "self.addEventListener('fetch', () => {});\n");
  const guide = join(root, "guide");
  mkdirSync(guide);
  writeFileSync(join(guide, "kanae-guide.html"), "<p>使い方</p>\n");
  const lesson = join(root, "lesson");
  mkdirSync(lesson);
  writeFileSync(join(lesson, "いぬ.jpg"), "not really a picture");
  writeFileSync(join(lesson, "Oltar.txt"), "#TRUE#\r\n"); // a game's settings: not the page's
  writeFileSync(join(root, "games.txt"), "Oltar|オルタ文字|あ|#2a9d8f|does|teaches\n");
  const sounds = join(root, "sounds");
  mkdirSync(sounds);
  writeFileSync(join(sounds, "あ.wav"), wav(8000, 4000)); // half a second
  writeFileSync(join(sounds, "い.wav"), "not a sound");
}

// A PCM .wav's header and data: bytesPerSecond, dataBytes of silence.
function wav(bytesPerSecond, dataBytes) {
  const bytes = Buffer.alloc(44 + dataBytes);
  bytes.write("RIFF", 0);
  bytes.writeUInt32LE(36 + dataBytes, 4);
  bytes.write("WAVEfmt ", 8);
  bytes.writeUInt32LE(16, 16);
  bytes.writeUInt16LE(1, 20); // PCM
  bytes.writeUInt16LE(1, 22); // mono
  bytes.writeUInt32LE(bytesPerSecond, 24); // samples per second, one byte each
  bytes.writeUInt32LE(bytesPerSecond, 28);
  bytes.writeUInt16LE(1, 32);
  bytes.writeUInt16LE(8, 34);
  bytes.write("data", 36);
  bytes.writeUInt32LE(dataBytes, 40);
  return bytes;
}

function assemble(root, out) {
  const [page, guide, lesson] = ["page", "guide", "lesson"].map((name) => join(root, name));
  execFileSync("python3", [script, "--page", page, "--out", out, "--games", join(root, "games.txt"),
    "--lesson", lesson, "--sounds", join(root, "sounds"), "--guide", guide,
    "--icon", join(source, "tools", "menu", "kanae.svg")], { stdio: ["ignore", "ignore", "pipe"] });
  const worker = readFileSync(join(out, "sw.js"), "utf8");
  const header = worker.slice(0, worker.indexOf(";\n"));
  assert.ok(header.startsWith("const kPrecache = "), "the worker starts with its list");
  return { precache: JSON.parse(header.slice("const kPrecache = ".length)), code: worker.slice(header.length + 2) };
}

test("the worker keeps every file of the page, and its version follows their contents", () => {
  const root = mkdtempSync(join(tmpdir(), "kanae-assemble-"));
  try {
    makeSources(root);
    const out = join(root, "out");
    const first = assemble(root, out);
    assert.equal(first.code, "self.addEventListener('fetch', () => {});\n", "the worker's own code follows the list");
    const expected = ["games.json", "guide/kanae-guide.html", "index.html", "js/main.js", "lessons/demo/index.json",
      "lessons/demo/いぬ.jpg", "sounds/index.json", "sounds/lengths.json", "sounds/あ.wav", "sounds/い.wav"];
    // The font and the icons come from this machine's packages.
    const icons = ["icons/kanae-192.png", "icons/kanae-512.png", "icons/kanae-maskable-512.png"];
    const fromPackages = (file) => file.startsWith("fonts/") || icons.includes(file);
    const files = first.precache.files.filter((file) => !fromPackages(file));
    assert.deepEqual(files, expected, "every file but the worker itself");
    for (const file of icons) {
      assert.equal(first.precache.files.includes(file), existsSync(join(out, file)), `${file} kept when made`);
    }
    assert.ok(first.precache.files.includes("fonts/fonts.css"), "the font's faces are declared in any case");
    assert.deepEqual(JSON.parse(readFileSync(join(out, "sounds", "lengths.json"), "utf8")), { "あ.wav": 0.5 },
      "a sound's length from its header; a file that is no sound has none");
    const index = readFileSync(join(out, "index.html"), "utf8");
    for (const early of ['rel="modulepreload" href="js/main.js"', 'rel="preload" href="kanae-core.wasm"',
      'rel="preload" href="sounds/lengths.json"']) {
      assert.ok(index.includes(early), `index.html asks at once for ${early}`);
    }
    assert.match(first.precache.version, /^[0-9a-f]{16}$/);

    const cases = [
      ["nothing changed", () => {}, false],
      ["a script changed", () => writeFileSync(join(root, "page", "js", "main.js"), "export const a = 1;\n"), true],
      ["a picture of the lesson changed", () => writeFileSync(join(root, "lesson", "いぬ.jpg"), "another picture"), true],
      ["a file added to the page", () => writeFileSync(join(root, "page", "kanae.css"), "body {}\n"), true],
      ["the guide changed", () => writeFileSync(join(root, "guide", "kanae-guide.html"), "<p>新しい使い方</p>\n"), true],
    ];
    let version = first.precache.version;
    for (const [what, change, changes] of cases) {
      change();
      const next = assemble(root, out).precache.version;
      if (changes) assert.notEqual(next, version, `${what}: a new version`);
      else assert.equal(next, version, `${what}: the same version`);
      version = next;
    }
    assert.ok(assemble(root, out).precache.files.includes("kanae.css"), "an added file is kept too");
  } finally {
    rmSync(root, { recursive: true, force: true });
  }
});
