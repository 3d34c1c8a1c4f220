// Where the page keeps its lessons between visits: the teacher's folders (the
// directory handles the browser lets a page keep, in IndexedDB, with a small
// copy of each first picture, shown before the folder may be read again), the
// lessons copied into the page's own storage (a folder each under "lessons"
// in the origin-private file system), and which lesson was played last.
import { writeFile } from "./file_writer.js";
import { isLessonFile, isPicture } from "./lesson_mirror.js";

const kDatabase = "kanae-lessons";
const kStoredLessons = "lessons";

function openDatabase() {
  return new Promise((resolve, reject) => {
    const opening = indexedDB.open(kDatabase, 1);
    opening.onupgradeneeded = () => {
      opening.result.createObjectStore("folders", { keyPath: "id", autoIncrement: true });
      opening.result.createObjectStore("state");
    };
    opening.onsuccess = () => resolve(opening.result);
    opening.onerror = () => reject(opening.error);
  });
}

// One transaction on store; work(objectStore) returns the request whose
// result is wanted. Resolves once the transaction has committed.
function transact(database, store, mode, work) {
  return new Promise((resolve, reject) => {
    const transaction = database.transaction(store, mode);
    const request = work(transaction.objectStore(store));
    transaction.oncomplete = () => resolve(request ? request.result : undefined);
    transaction.onerror = transaction.onabort = () => reject(transaction.error);
  });
}

// The first picture of a folder, in the order of the names' code points.
export async function firstPicture(folder) {
  let first = null;
  for await (const [name, entry] of folder.entries()) {
    if (entry.kind === "file" && isPicture(name) && (first === null || name < first)) first = name;
  }
  return first === null ? null : (await folder.getFileHandle(first)).getFile();
}

// A small copy of a picture for the menu (the original may be a large photo).
export async function smallPicture(file) {
  try {
    const bitmap = await createImageBitmap(file);
    const scale = Math.min(1, 240 / Math.max(bitmap.width, bitmap.height));
    const canvas = document.createElement("canvas");
    canvas.width = Math.max(1, Math.round(bitmap.width * scale));
    canvas.height = Math.max(1, Math.round(bitmap.height * scale));
    canvas.getContext("2d").drawImage(bitmap, 0, 0, canvas.width, canvas.height);
    bitmap.close();
    return await new Promise((resolve) => canvas.toBlob(resolve, "image/jpeg", 0.85));
  } catch {
    return file.size < 512 * 1024 ? file : null;
  }
}

export class LessonStore {
  // Without IndexedDB (a private window may refuse it) the page still plays;
  // it only forgets the folders when it is closed.
  static async open() {
    const store = new LessonStore();
    try {
      store.database = await openDatabase();
    } catch (error) {
      console.warn("kanae: the lessons cannot be remembered", error);
    }
    return store;
  }

  // [{ id, name, handle, picture: Blob|null }]
  async folders() {
    if (!this.database) return this.remembered ?? [];
    return transact(this.database, "folders", "readonly", (s) => s.getAll());
  }

  // Adds a folder the teacher chose, or finds it when she chose it before.
  async addFolder(handle) {
    for (const known of await this.folders()) {
      if (await known.handle.isSameEntry(handle).catch(() => false)) return known;
    }
    const first = await firstPicture(handle);
    const folder = { name: handle.name, handle, picture: first ? await smallPicture(first) : null };
    if (!this.database) {
      this.remembered = [...(this.remembered ?? []), { ...folder, id: (this.remembered?.length ?? 0) + 1 }];
      return this.remembered[this.remembered.length - 1];
    }
    folder.id = await transact(this.database, "folders", "readwrite", (s) => s.add(folder));
    return folder;
  }

  async forgetFolder(id) {
    if (this.database) await transact(this.database, "folders", "readwrite", (s) => s.delete(id));
    else this.remembered = (this.remembered ?? []).filter((folder) => folder.id !== id);
  }

  async lastPlayed() {
    if (!this.database) return this.last ?? null;
    return (await transact(this.database, "state", "readonly", (s) => s.get("last"))) ?? null;
  }

  async rememberLast(key) {
    this.last = key;
    if (this.database) await transact(this.database, "state", "readwrite", (s) => s.put(key, "last"));
  }
}

// The page's own storage, or null where the browser has none.
async function storedLessonsFolder() {
  if (!navigator.storage?.getDirectory) return null;
  const root = await navigator.storage.getDirectory();
  return root.getDirectoryHandle(kStoredLessons, { create: true });
}

// [{ name, handle }] of the lessons in the page's own storage, by name.
export async function storedLessons() {
  const folder = await storedLessonsFolder().catch(() => null);
  if (folder === null) return [];
  const lessons = [];
  for await (const [name, entry] of folder.entries()) if (entry.kind === "directory") lessons.push({ name, handle: entry });
  return lessons.sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
}

// Copies the lesson files among files (from a file input) into a new folder
// of the page's own storage named after name (with " (2)" and on when the
// name is taken: nothing already kept is written over). Returns
// { name, handle, copied }.
export async function storeLesson(name, files) {
  const folder = await storedLessonsFolder();
  if (folder === null) throw new Error("このブラウザには、ページの中にレッスンを保存する場所がありません。");
  const taken = new Set((await storedLessons()).map((lesson) => lesson.name));
  let unique = name;
  for (let n = 2; taken.has(unique); ++n) unique = `${name} (${n})`;
  const handle = await folder.getDirectoryHandle(unique, { create: true });
  let copied = 0;
  for (const file of files) {
    if (!isLessonFile(file.name)) continue;
    await writeFile(handle, file.name, file);
    ++copied;
  }
  return { name: unique, handle, copied };
}

export async function removeStoredLesson(name) {
  const folder = await storedLessonsFolder();
  await folder.removeEntry(name, { recursive: true });
}

// Every file of a folder: [{ name, bytes, date }].
export async function filesOf(folder) {
  const files = [];
  for await (const [name, entry] of folder.entries()) {
    if (entry.kind !== "file") continue;
    const file = await entry.getFile();
    files.push({ name, bytes: new Uint8Array(await file.arrayBuffer()), date: new Date(file.lastModified) });
  }
  return files.sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
}
