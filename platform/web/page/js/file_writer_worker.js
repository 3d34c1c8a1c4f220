// Writes into the page's own storage with synchronous access handles, for
// browsers whose file handles have no writable stream (file_writer.js).
// A whole file: written under a temporary name, flushed, then moved over the
// name where handles can be moved; else written over the name in place, with
// the complete copy under the temporary name until then. An append: at the
// file's end, flushed.
const kTemporaryMark = ".kanae-tmp-";

async function folderAt(path) {
  let folder = await navigator.storage.getDirectory();
  for (const part of path) folder = await folder.getDirectoryHandle(part);
  return folder;
}

async function writeAll(file, bytes, at) {
  const access = await file.createSyncAccessHandle();
  try {
    if (at === null) access.truncate(0);
    const start = at === null ? 0 : access.getSize();
    for (let done = 0; done < bytes.length; ) done += access.write(bytes.subarray(done), { at: start + done });
    access.flush();
  } finally {
    access.close();
  }
}

async function write({ path, name, bytes, append }) {
  const folder = await folderAt(path);
  if (append) {
    await writeAll(await folder.getFileHandle(name, { create: true }), bytes, "end");
    return;
  }
  const temporaryName = `${name}${kTemporaryMark}${Math.random().toString(36).slice(2, 10)}`;
  const temporary = await folder.getFileHandle(temporaryName, { create: true });
  await writeAll(temporary, bytes, null);
  if (typeof temporary.move === "function") {
    try {
      await temporary.move(name);
      return;
    } catch {
      // Not over a file that exists, in some browsers: written in place.
    }
  }
  await writeAll(await folder.getFileHandle(name, { create: true }), bytes, null);
  await folder.removeEntry(temporaryName);
}

onmessage = async ({ data }) => {
  try {
    await write(data);
    postMessage({ id: data.id });
  } catch (error) {
    postMessage({ id: data.id, error: { name: error.name, message: error.message } });
  }
};
