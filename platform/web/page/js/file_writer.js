// Writes a file into a folder handle, whole or appended, as the lessons
// need it. Where the browser has a writable stream (createWritable), the
// browser writes a swap file and moves it over the file when the stream is
// closed: the folder has the old file or the new one, never half of one.
// Browsers without it (Safari before 26) can still write the page's own
// storage from a worker, with a synchronous access handle: there a new file
// is written under a temporary name, flushed, and moved over the name; an
// append goes at the file's end and is flushed.

// With ?trace&syncwriter the worker's way is used where both exist (tests).
const params = new URLSearchParams(globalThis.location?.search ?? "");
const forceWorker = params.has("trace") && params.has("syncwriter");
// (Outside a browser, as in the tests under node, handles are stand-ins with streams.)
const hasStreams = !forceWorker &&
  (typeof FileSystemFileHandle === "undefined" || "createWritable" in FileSystemFileHandle.prototype);

let worker = null;
let nextRequest = 1;
const waiting = new Map(); // request → { resolve, reject }

function workerWrite(message) {
  if (worker === null) {
    worker = new Worker(new URL("./file_writer_worker.js", import.meta.url));
    worker.onmessage = ({ data }) => {
      const request = waiting.get(data.id);
      waiting.delete(data.id);
      if (data.error) request.reject(Object.assign(new Error(data.error.message), { name: data.error.name }));
      else request.resolve();
    };
  }
  const id = nextRequest++;
  return new Promise((resolve, reject) => {
    waiting.set(id, { resolve, reject });
    worker.postMessage({ id, ...message });
  });
}

// bytes: a Uint8Array, or a Blob (a File from an input) for a whole file.
// from >= 0: the bytes from there on are appended at the file's end.
export async function writeFile(folder, name, bytes, from = -1) {
  if (hasStreams) {
    const file = await folder.getFileHandle(name, { create: true });
    const end = from >= 0 ? (await file.getFile()).size : 0;
    const stream = await file.createWritable({ keepExistingData: from >= 0 });
    try {
      if (from >= 0) await stream.write({ type: "write", position: end, data: bytes.subarray(from) });
      else await stream.write(bytes);
      await stream.close();
    } catch (error) {
      await stream.abort().catch(() => {});
      throw error;
    }
    return;
  }
  // The worker finds the folder by its path in the page's own storage.
  const path = await (await navigator.storage.getDirectory()).resolve(folder);
  if (path === null) throw new Error("このブラウザでは、このフォルダに書きこめません。");
  const data = bytes instanceof Blob ? new Uint8Array(await bytes.arrayBuffer()) : bytes;
  await workerWrite({ path, name, bytes: from >= 0 ? data.slice(from) : data, append: from >= 0 });
}
