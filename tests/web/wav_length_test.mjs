// A cue's length from its .wav header (platform/web/page/js/sound.js): what
// keeps a cue's time before the page has decoded it.
import assert from "node:assert/strict";
import { test } from "node:test";
import { wavSeconds } from "../../platform/web/page/js/sound.js";

// A PCM .wav: 16-bit mono at rate, with a LIST chunk of odd size before the
// data (chunks are padded to even sizes), and `samples` samples.
function wav(rate, samples, { listBytes = 3, dataSizeField = null } = {}) {
  const dataBytes = samples * 2;
  const list = 8 + listBytes + (listBytes % 2);
  const bytes = new Uint8Array(12 + 24 + list + 8 + dataBytes);
  const view = new DataView(bytes.buffer);
  const tag = (at, text) => [...text].forEach((c, i) => (bytes[at + i] = c.charCodeAt(0)));
  tag(0, "RIFF");
  view.setUint32(4, bytes.length - 8, true);
  tag(8, "WAVE");
  tag(12, "fmt ");
  view.setUint32(16, 16, true);
  view.setUint16(20, 1, true);
  view.setUint16(22, 1, true);
  view.setUint32(24, rate, true);
  view.setUint32(28, rate * 2, true);
  view.setUint16(32, 2, true);
  view.setUint16(34, 16, true);
  tag(36, "LIST");
  view.setUint32(40, listBytes, true);
  tag(36 + list, "data");
  view.setUint32(40 + list, dataSizeField ?? dataBytes, true);
  return bytes;
}

test("the length comes from the data chunk over the bytes per second", () => {
  assert.equal(wavSeconds(wav(48000, 24000)), 0.5);
  assert.equal(wavSeconds(wav(22050, 22050, { listBytes: 4 })), 1);
});

test("a header that claims more data than the file holds counts what is there", () => {
  assert.equal(wavSeconds(wav(16000, 8000, { dataSizeField: 1 << 30 })), 0.5);
});

test("what is not a .wav has no length", () => {
  for (const bytes of [new Uint8Array(0), new TextEncoder().encode("RIFF....WAVX"), wav(8000, 100).subarray(0, 30)]) {
    assert.equal(wavSeconds(bytes), 0);
  }
});
