// A lesson's files as one .zip for the teacher to take to another computer.
// Stored, not compressed: the pictures are compressed already and the text
// files are small, and every unzip tool reads a stored entry. Names are
// UTF-8 and marked so (general purpose bit 11), as the Japanese names need.

const kCrcTable = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

// CRC-32 (ISO 3309, as zip and PNG use it) of bytes.
export function crc32(bytes) {
  let crc = 0xffffffff;
  for (let i = 0; i < bytes.length; ++i) crc = kCrcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// The MS-DOS date and time a zip entry carries (local time, two-second steps).
function dosDateTime(date) {
  const year = Math.min(Math.max(date.getFullYear(), 1980), 2107);
  return {
    time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
    day: ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
  };
}

// files: [{ name, bytes: Uint8Array, date?: Date }]. Returns the archive.
// Beyond 4 GB or 65535 entries a zip needs its 64-bit form; a lesson is
// never that large, and such input is refused rather than written wrong.
export function zipStored(files) {
  if (files.length > 0xffff) throw new RangeError("too many files for a zip");
  const encoder = new TextEncoder();
  const entries = files.map((file) => ({
    name: encoder.encode(file.name),
    bytes: file.bytes,
    crc: crc32(file.bytes),
    when: dosDateTime(file.date ?? new Date()),
  }));
  let size = 22;
  for (const entry of entries) size += 30 + 46 + 2 * entry.name.length + entry.bytes.length;
  if (size > 0xffffffff) throw new RangeError("too large for a zip");

  const out = new Uint8Array(size);
  const view = new DataView(out.buffer);
  let at = 0;
  const u16 = (value) => {
    view.setUint16(at, value, true);
    at += 2;
  };
  const u32 = (value) => {
    view.setUint32(at, value, true);
    at += 4;
  };
  const put = (bytes) => {
    out.set(bytes, at);
    at += bytes.length;
  };
  // The fields a local header and its central record share.
  const common = (entry) => {
    u16(20); // version needed: 2.0
    u16(0x0800); // names in UTF-8
    u16(0); // stored
    u16(entry.when.time);
    u16(entry.when.day);
    u32(entry.crc);
    u32(entry.bytes.length);
    u32(entry.bytes.length);
    u16(entry.name.length);
    u16(0); // no extra field
  };
  for (const entry of entries) {
    entry.offset = at;
    u32(0x04034b50);
    common(entry);
    put(entry.name);
    put(entry.bytes);
  }
  const central = at;
  for (const entry of entries) {
    u32(0x02014b50);
    u16(20); // made by: 2.0, MS-DOS attributes
    common(entry);
    u16(0); // no comment
    u16(0); // disk 0
    u16(0); // internal attributes
    u32(0); // external attributes
    u32(entry.offset);
    put(entry.name);
  }
  const centralSize = at - central;
  u32(0x06054b50);
  u16(0);
  u16(0);
  u16(entries.length);
  u16(entries.length);
  u32(centralSize);
  u32(central);
  u16(0);
  return out;
}
