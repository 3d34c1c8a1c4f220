// The lessons in the menu: the demo lesson, the teacher's folders and the
// lessons kept in the page's own storage, each with its first picture.
// 「フォルダを選ぶ」 adds one: the folder itself where the browser lets a page
// read and write a folder (File System Access), else a copy of its files in
// the page's own storage, which the teacher takes away as a .zip. The chosen
// lesson is where the games start, and the one played last is chosen again
// at the next visit.
import { LessonMirror, isPicture } from "./lesson_mirror.js";
import { LessonStore, filesOf, firstPicture, removeStoredLesson, storeLesson, storedLessons } from "./lesson_store.js";
import { button, download } from "./elements.js";
import { pageFiles } from "./page_files.js";
import { zipStored } from "./zip.js";

const kDemo = { key: "demo", kind: "demo", name: "デモのレッスン", folder: "/lessons/demo" };
const kRecordName = "学習記録.csv";
const kNoPictures = "には、ゲームで使える絵（.jpg .gif .bmp）がありません。絵の入ったフォルダを選んでください。";

// Why a file could not be written, by the browser's error names.
const kWhyNotWritten = {
  NotAllowedError: "フォルダに書きこむ許可がありません",
  NotFoundError: "フォルダが見つかりません",
  QuotaExceededError: "空き容量が足りません",
  TypeMismatchError: "同じ名前のフォルダがあります",
  NoModificationAllowedError: "ほかのプログラムが使っています",
  InvalidModificationError: "ほかのプログラムが使っています",
};

// A name the core's file system takes as one folder.
const safeName = (text) => text.replace(/[/\\\u0000-\u001f]/g, "_").slice(0, 80) || "_";

// Whether the page may read and write the folder; asks only when the browser
// requires it (which it allows only on a touch or a click).
async function allowed(handle, ask) {
  if (!handle.queryPermission) return true; // the page's own storage in some browsers
  const options = { mode: "readwrite" };
  if ((await handle.queryPermission(options)) === "granted") return true;
  if (!ask) return false;
  try {
    return (await handle.requestPermission(options)) === "granted";
  } catch {
    return false; // not on a touch or a click
  }
}


export class Lessons {
  // fs: the core's file system; section: where the menu shows the lessons;
  // nameLabel: shows the chosen lesson's name; tell(text): a message to the
  // teacher.
  // storeOpened: LessonStore.open(), begun as early as the page likes.
  static async open({ fs, section, nameLabel, tell, storeOpened = LessonStore.open() }) {
    const lessons = new Lessons(fs, section, nameLabel, tell);
    lessons.store = await storeOpened;
    await lessons.refresh();
    const last = await lessons.store.lastPlayed();
    lessons.chosen = lessons.list.find((lesson) => lesson.key === last) ?? lessons.list[0];
    lessons.render();
    return lessons;
  }

  constructor(fs, section, nameLabel, tell) {
    this.fs = fs;
    this.section = section;
    this.nameLabel = nameLabel;
    this.tell = tell;
    this.list = [kDemo];
    this.mirrors = new Map(); // key → LessonMirror, kept while the page is open
    this.playing = null; // the mirror of the lesson played
    this.pictureUrls = [];
    this.folderInput = this.fileInput(true);
    this.picturesInput = this.fileInput(false);
    // The browser asks the teacher before the page is closed while a write
    // is under way or has failed: what the core wrote is only in the page.
    window.addEventListener("beforeunload", (event) => {
      if (![...this.mirrors.values()].some((mirror) => mirror.busy())) return;
      event.preventDefault();
      event.returnValue = "";
    });
  }

  fileInput(wholeFolder) {
    const input = document.createElement("input");
    input.type = "file";
    input.multiple = true;
    input.hidden = true;
    input.className = wholeFolder ? "lesson-folder-input" : "lesson-pictures-input";
    if (wholeFolder) input.webkitdirectory = true;
    else input.accept = "image/jpeg,image/gif,image/bmp,.jpg,.gif,.bmp,.txt,.csv";
    input.addEventListener("change", () => {
      const files = [...input.files];
      input.value = "";
      this.importFiles(files, wholeFolder).catch((error) =>
        this.tell(`レッスンを保存できませんでした（${kWhyNotWritten[error.name] ?? error.message}）。`),
      );
    });
    this.section.append(input);
    return input;
  }

  async refresh() {
    const folders = (await this.store.folders()).map((folder) => ({
      key: `folder:${folder.id}`,
      kind: "folder",
      id: folder.id,
      name: folder.name,
      handle: folder.handle,
      picture: folder.picture,
      folder: `/lessons/${safeName(`${folder.id}-${folder.name}`)}`,
    }));
    const stored = (await storedLessons()).map((lesson) => ({
      key: `stored:${lesson.name}`,
      kind: "stored",
      name: lesson.name,
      handle: lesson.handle,
      picture: null, // read from the lesson when shown
      folder: `/lessons/${safeName(`page-${lesson.name}`)}`,
    }));
    this.list = [kDemo, ...folders, ...stored];
    if (this.chosen) this.chosen = this.list.find((lesson) => lesson.key === this.chosen.key) ?? kDemo;
  }

  // The lesson's folder in the core's file system.
  folder() {
    return (this.chosen ?? kDemo).folder;
  }

  async choose(key) {
    this.chosen = this.list.find((lesson) => lesson.key === key) ?? kDemo;
    await this.store.rememberLast(this.chosen.key).catch(() => {});
    this.render();
  }

  mirrorOf(lesson) {
    let mirror = this.mirrors.get(lesson.key);
    if (!mirror) {
      mirror = new LessonMirror(this.fs, lesson.handle, lesson.folder, (name, error) => this.failed(lesson, mirror, name, error));
      this.mirrors.set(lesson.key, mirror);
    }
    return mirror;
  }

  // A write that failed is told once per lesson; what the core wrote stays
  // in the page and is written at the next answer or the next start.
  failed(lesson, mirror, name, error) {
    console.warn(`kanae: ${lesson.name}/${name} not written`, error);
    this.render();
    if (mirror.told) return;
    mirror.told = true;
    const why = kWhyNotWritten[error?.name] ?? "書きこめませんでした";
    this.tell(
      `「${lesson.name}」の「${name}」を保存できませんでした（${why}）。書いた内容はこのページの中に残してあり、` +
        "次の答えのときと、次にゲームをはじめるときに、もう一度保存します。",
    );
  }

  // Before a game starts (on the teacher's touch): the chosen lesson, read
  // afresh into the core. The folder's path in the core, or null when it
  // cannot be played (the teacher has been told why).
  async prepare() {
    const lesson = this.chosen ?? kDemo;
    // Not waited for: the game need not start later for it.
    this.store.rememberLast(lesson.key).catch(() => {});
    if (lesson.kind === "demo") {
      this.playing = null;
      return lesson.folder;
    }
    try {
      if (!(await allowed(lesson.handle, true))) {
        this.tell(`フォルダ「${lesson.name}」を使う許可がありません。もう一度ゲームを選んで、許可してください。`);
        return null;
      }
      const mirror = this.mirrorOf(lesson);
      mirror.sync(); // what was put there by hand since (tests, teacher's tools)
      mirror.retry();
      await mirror.load();
      this.playing = mirror;
      this.render();
      return lesson.folder;
    } catch (error) {
      this.tell(`レッスン「${lesson.name}」を読めませんでした：${error.message}`);
      return null;
    }
  }

  // After each call into the core.
  sync() {
    if (this.playing !== null) this.playing.sync();
  }

  // Resolves once every write handed over has ended.
  settled() {
    return Promise.all([...this.mirrors.values()].map((mirror) => mirror.settled()));
  }

  async pickFolder() {
    if (!window.showDirectoryPicker) {
      this.folderInput.click();
      return;
    }
    let handle;
    try {
      handle = await window.showDirectoryPicker({ id: "kanae-lesson", mode: "readwrite" });
    } catch (error) {
      if (error.name !== "AbortError") this.tell(`フォルダを開けませんでした：${error.message}`);
      return;
    }
    await this.addFolder(handle);
  }

  // A folder the teacher chose (through the picker, or a test's handle).
  async addFolder(handle) {
    if ((await firstPicture(handle)) === null) {
      this.tell(`フォルダ「${handle.name}」${kNoPictures}`);
      return null;
    }
    const folder = await this.store.addFolder(handle);
    await this.refresh();
    await this.choose(`folder:${folder.id}`);
    return this.chosen.key;
  }

  // Files from a file input, copied into the page's own storage as a lesson:
  // a folder's own files (not its subfolders'), or pictures chosen one by one.
  async importFiles(files, wholeFolder) {
    const now = new Date();
    let name = `レッスン ${now.getMonth() + 1}月${now.getDate()}日${now.getHours()}時${now.getMinutes()}分`;
    if (wholeFolder && files.length > 0) {
      name = files[0].webkitRelativePath.split("/")[0] || name;
      files = files.filter((file) => file.webkitRelativePath.split("/").length <= 2);
    }
    if (!files.some((file) => isPicture(file.name))) {
      this.tell(`「${name}」${kNoPictures}`);
      return null;
    }
    // Asked on the teacher's touch: storage the browser may not clear when
    // the device runs short of space (granted or not at the browser's will).
    navigator.storage?.persist?.().catch(() => false);
    const stored = await storeLesson(safeName(name), files);
    await this.refresh();
    await this.choose(`stored:${stored.name}`);
    return this.chosen.key;
  }

  async forget(lesson) {
    if (lesson.kind === "stored") {
      // The only copy of its record: asked first.
      const question = `レッスン「${lesson.name}」を、絵も学習記録もいっしょに、このページから消します。` +
        "残しておくときは、先に「レッスンをzipで保存」で保存してください。消しますか？";
      if (!window.confirm(question)) return;
      await this.mirrorOf(lesson).settled();
      await removeStoredLesson(lesson.name);
    } else {
      await this.store.forgetFolder(lesson.id);
    }
    this.mirrors.delete(lesson.key);
    await this.refresh();
    await this.choose(this.chosen?.key === lesson.key ? kDemo.key : this.chosen.key);
  }

  async downloadZip(lesson) {
    await this.mirrorOf(lesson).settled();
    const zip = zipStored(await filesOf(lesson.handle));
    download(new Blob([zip], { type: "application/zip" }), `${lesson.name}.zip`);
  }

  async downloadRecord(lesson) {
    await this.mirrorOf(lesson).settled();
    let file;
    try {
      file = await (await lesson.handle.getFileHandle(kRecordName)).getFile();
    } catch {
      this.tell(`「${lesson.name}」には、まだ学習記録がありません。`);
      return;
    }
    download(new Blob([await file.arrayBuffer()], { type: "text/csv" }), `${lesson.name}-${kRecordName}`);
  }

  async pictureOf(lesson) {
    if (lesson.kind === "folder") return lesson.picture;
    if (lesson.kind === "stored") return firstPicture(lesson.handle).catch(() => null);
    const names = this.fs.readdir(lesson.folder).filter(isPicture).sort();
    if (names.length === 0) return null;
    const path = `${lesson.folder}/${names[0]}`;
    await pageFiles.whenIn(path); // the demo's pictures come in behind the page
    return new Blob([this.fs.readFile(path)]);
  }

  render() {
    const chosen = this.chosen ?? kDemo;
    this.nameLabel.textContent = chosen.name;
    for (const url of this.pictureUrls) URL.revokeObjectURL(url);
    this.pictureUrls = [];

    const list = document.createElement("div");
    list.className = "lesson-list";
    for (const lesson of this.list) {
      const tile = button("lesson-tile", "", () => this.choose(lesson.key));
      tile.dataset.key = lesson.key;
      tile.setAttribute("aria-pressed", String(lesson === chosen));
      const picture = document.createElement("img");
      picture.alt = "";
      this.pictureOf(lesson).then((blob) => {
        if (!blob) return;
        picture.src = URL.createObjectURL(blob);
        this.pictureUrls.push(picture.src);
      });
      const name = document.createElement("span");
      name.className = "name";
      name.textContent = lesson.name;
      tile.append(picture, name);
      if (this.mirrors.get(lesson.key)?.unsaved.size > 0) tile.classList.add("unsaved");
      list.append(tile);
    }

    const actions = document.createElement("div");
    actions.className = "lesson-actions";
    actions.append(button("lesson-choose", "フォルダを選ぶ", () => this.pickFolder()));
    if (!window.showDirectoryPicker) {
      // Where a folder cannot be chosen (a tablet), pictures one by one.
      actions.append(button("lesson-pictures", "絵を選ぶ", () => this.picturesInput.click()));
    }
    if (chosen.kind === "stored") {
      actions.append(
        button("lesson-zip", "レッスンをzipで保存", () => this.downloadZip(chosen)),
        button("lesson-record", "学習記録（CSV）を保存", () => this.downloadRecord(chosen)),
      );
    }
    if (chosen.kind === "folder") actions.append(button("lesson-forget", "一覧から外す", () => this.forget(chosen)));
    if (chosen.kind === "stored") actions.append(button("lesson-forget", "ページから消す", () => this.forget(chosen)));

    const warning = document.createElement("p");
    warning.className = "lesson-warning";
    warning.hidden = ![...this.mirrors.values()].some((mirror) => mirror.unsaved.size > 0);
    warning.textContent = "保存できていないファイルがあります。ページを閉じずに、そのレッスンでゲームをはじめると、もう一度保存します。";

    this.section.replaceChildren(list, actions, warning, this.folderInput, this.picturesInput);
  }

  // For automation (with ?trace only): a directory handle in place of the
  // folder picker, which a headless browser cannot click through.
  testHooks() {
    return {
      openLessonFolder: (handle) => this.addFolder(handle),
      lessonsSettled: () => this.settled().then(() => true),
      chosenLesson: () => ({ key: (this.chosen ?? kDemo).key, folder: this.folder() }),
      // The teacher's files (not the pictures) as the core has them.
      filesInCore: () =>
        Object.fromEntries(
          this.fs
            .readdir(this.folder())
            .filter((name) => /\.(txt|csv)$/i.test(name))
            .map((name) => [name, [...this.fs.readFile(`${this.folder()}/${name}`)]]),
        ),
    };
  }
}
