// The page's zip writer: archives that python's zipfile reads back (testzip checks every CRC)
// exactly, and the CRC-32 against zlib's.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import zlib from "node:zlib";
import { crc32, zipStored } from "../../platform/web/page/js/zip.js";

const bytesOf = (text) => new TextEncoder().encode(text);

// zlib's crc32 came with node 20.15/22; python's binascii stands in before.
function referenceCrc(bytes) {
  if (typeof zlib.crc32 === "function") return zlib.crc32(bytes);
  return Number(execFileSync("python3", ["-c", "import sys,binascii;print(binascii.crc32(sys.stdin.buffer.read()))"],
    { input: bytes }).toString());
}

test("the CRC-32 is zlib's", () => {
  const cases = [new Uint8Array(0), bytesOf("123456789"), bytesOf("学習記録"), Uint8Array.from({ length: 70000 }, (_, i) => (i * 7919) & 0xff)];
  for (const bytes of cases) assert.equal(crc32(bytes), referenceCrc(bytes), `${bytes.length} bytes`);
  assert.equal(crc32(bytesOf("123456789")), 0xcbf43926);
});

// Each case: the files put in; python reads back names, bytes and dates.
const kCases = [
  { what: "no files", files: [] },
  {
    what: "a lesson with Japanese names, a BOM and CR LF",
    files: [
      { name: "学習記録.csv", bytes: bytesOf("\ufeff日時,ゲーム\r\n2026-12-11T10:00:00,はじめの文字\r\n") },
      { name: "Oltar.txt", bytes: Uint8Array.from([0x23, 0x54, 0x52, 0x55, 0x45, 0x23, 0x0d, 0x0a]) },
      { name: "いぬ.jpg", bytes: Uint8Array.from({ length: 5000 }, (_, i) => (i * 31) & 0xff) },
      { name: "empty.txt", bytes: new Uint8Array(0) },
    ],
  },
];

test("python's zipfile reads the archive back exactly", () => {
  const folder = mkdtempSync(join(tmpdir(), "kanae-zip-"));
  try {
    const when = new Date(2026, 11, 11, 9, 41, 36);
    for (const [index, { what, files }] of kCases.entries()) {
      const path = join(folder, `${index}.zip`);
      writeFileSync(path, zipStored(files.map((file) => ({ ...file, date: when }))));
      const listed = JSON.parse(
        execFileSync("python3", ["-c", `
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    print(json.dumps([[i.filename, list(z.read(i)), list(i.date_time), i.compress_type, i.flag_bits & 0x800]
                      for i in z.infolist()]))`, path]).toString(),
      );
      assert.deepEqual(
        listed,
        files.map((file) => [file.name, [...file.bytes], [2026, 12, 11, 9, 41, 36], 0, 0x800]),
        what,
      );
    }
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
});
