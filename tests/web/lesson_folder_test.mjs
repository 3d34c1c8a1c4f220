// A teacher's lesson folder in Debian's headless chromium: the games read it
// and write into it what the desktop games would (the record, one whole line
// per answer; the task selection and the settings, byte for byte), the
// lesson stays listed and chosen after a reload, a write that fails is told
// once and done later, and a lesson copied into the page's own storage (the
// way without a folder picker) is played and taken away as a .zip and a CSV.
// The folder picker cannot be clicked through headless: the page is handed a
// folder of its own storage as the folder the teacher chose (?trace only).
// usage: node lesson_folder_test.mjs PAGE_FOLDER
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { launch } from "./browser.mjs";
import { events, until, heardAnswers, endTest } from "./page_trace.mjs";
import { serve } from "./static_server.mjs";

const [pageFolder] = process.argv.slice(2);
const kTeacherFolder = "先生のレッスン";
const kRecord = "学習記録.csv";
// One distractor card, so that a child can also be wrong.
const kOltarSettings = "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n";
const demoPictures = JSON.parse(readFileSync(join(pageFolder, "lessons/demo/index.json"), "utf8"))
  .filter((name) => /\.(jpg|gif|bmp)$/i.test(name))
  .slice(0, 6);

const server = await serve(pageFolder);
const browser = await launch();
const context = await browser.newContext({ viewport: { width: 1024, height: 768 }, acceptDownloads: true });
const temporary = mkdtempSync(join(tmpdir(), "kanae-lessons-"));
const errors = [];



async function openPage(query = "") {
  const page = await context.newPage();
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(`${server.url}?autostart&trace${query}`);
  await page.waitForSelector(".lesson-tile", { state: "visible" });
  return page;
}

// The .txt and .csv files of a folder of the page's own storage (a path of
// folder names under its root), as byte arrays by name.
const filesOf = (page, path) =>
  page.evaluate(async (parts) => {
    let folder = await navigator.storage.getDirectory();
    for (const part of parts) folder = await folder.getDirectoryHandle(part);
    const files = {};
    for await (const [name, entry] of folder.entries()) {
      if (entry.kind === "file" && /\.(txt|csv)$/i.test(name)) {
        files[name] = [...new Uint8Array(await (await entry.getFile()).arrayBuffer())];
      }
    }
    return files;
  }, path);

const decode = (bytes, encoding = "utf-8") => new TextDecoder(encoding, { fatal: true }).decode(Uint8Array.from(bytes));

// The record's lines: a BOM, then whole lines ending in CR LF (the last one
// too), a header and one per answer.
function recordLines(bytes, what) {
  assert.deepEqual(bytes.slice(0, 3), [0xef, 0xbb, 0xbf], `${what}: the record starts with a BOM`);
  const text = decode(bytes.slice(3));
  assert.ok(text.endsWith("\r\n"), `${what}: the record ends with a whole line`);
  const lines = text.slice(0, -2).split("\r\n");
  assert.ok(lines.every((line) => !line.includes("\n")), `${what}: every line ends in CR LF`);
  return lines;
}

// Starts program from the menu and answers until count answers are judged,
// right and wrong in turn as far as the game lets; after each answer, once
// the page has written back, check(answersSoFar) runs.
async function play(page, program, count, check = async () => {}) {
  await page.click(`.game-tile[data-program="${program}"]`);
  await until("the first question on screen", async () => (await events(page, "ready")).length > 0);
  for (let answered = 0; answered < count; ) {
    const answers = await until("a question to answer", () => heardAnswers(page));
    const before = (await events(page, "answer")).length;
    const choice = answered % 2 === 0 ? answers[answers.length - 1] : answers[0];
    await page.mouse.click(choice.x + choice.w / 2, choice.y + choice.h / 2);
    const judged = await until("the answer judged", async () => (await events(page, "answer")).length > before, 3000).catch(() => false);
    if (!judged) continue;
    answered = (await events(page, "answer")).length;
    await page.evaluate(() => window.kanae.lessonsSettled());
    await check(answered);
  }
}

async function leave(page) {
  await page.keyboard.press("Escape");
  await until("the exit", async () => (await events(page, "exit")).length > 0);
  await page.waitForSelector("#menu", { state: "visible" });
  await page.evaluate(() => window.kanae.lessonsSettled());
}

// Every .txt and .csv the core has is in the folder with the same bytes.
async function sameAsCore(page, path, what) {
  const inCore = await page.evaluate(() => window.kanae.filesInCore());
  const inFolder = await filesOf(page, path);
  for (const [name, bytes] of Object.entries(inCore)) {
    assert.deepEqual(inFolder[name], bytes, `${what}: ${name} in the folder is what the core wrote`);
  }
  return inFolder;
}

async function chosenTile(page) {
  return page.evaluate(() => {
    const tile = document.querySelector('.lesson-tile[aria-pressed="true"]');
    const picture = tile.querySelector("img");
    return { key: tile.dataset.key, name: tile.textContent, pictured: picture.complete && picture.naturalWidth > 0 };
  });
}

async function teachersFolder() {
  const page = await openPage();
  // The teacher's folder: a few pictures of the demo lesson and her settings.
  await page.evaluate(
    async ([folderName, pictures, settings]) => {
      const root = await navigator.storage.getDirectory();
      const folder = await root.getDirectoryHandle(folderName, { create: true });
      const put = async (name, bytes) => {
        const stream = await (await folder.getFileHandle(name, { create: true })).createWritable();
        await stream.write(bytes);
        await stream.close();
      };
      for (const name of pictures) {
        await put(name, await (await fetch(`lessons/demo/${encodeURIComponent(name)}`)).arrayBuffer());
      }
      await put("Oltar.txt", new TextEncoder().encode(settings));
      // Something the browser cannot write over: a folder under the name of
      // the settings file a game creates.
      await folder.getDirectoryHandle("Quoma.txt", { create: true });
      await window.kanae.openLessonFolder(folder);
    },
    [kTeacherFolder, demoPictures, kOltarSettings],
  );
  const chosen = await until("the folder's picture in the menu", async () => {
    const tile = await chosenTile(page);
    return tile.pictured ? tile : null;
  });
  assert.equal(chosen.name, kTeacherFolder, "the chosen folder is the chosen lesson");
  assert.equal(await page.textContent("#lesson-name"), kTeacherFolder);

  await play(page, "Oltar", 4, async (answered) => {
    const files = await sameAsCore(page, [kTeacherFolder], `after answer ${answered}`);
    assert.equal(recordLines(files[kRecord], `after answer ${answered}`).length, 1 + answered,
      `after answer ${answered}: a header and one line per answer`);
  });
  await leave(page);
  const files = await sameAsCore(page, [kTeacherFolder], "after the game");
  assert.equal(decode(files["Oltar.txt"]), kOltarSettings, "the teacher's settings stay as she wrote them");
  // The task selection, made by the game for this folder: CP932, CR LF, the
  // folder's pictures.
  const selection = decode(files["Fname.txt"], "shift_jis");
  for (const name of demoPictures) assert.ok(selection.includes(name), `Fname.txt lists ${name}`);
  assert.ok(/\r\n$/.test(selection) && !/[^\r]\n/.test(selection), "Fname.txt has CR LF lines");

  // A write that fails: told once, and done when the game is started again.
  await page.click('.game-tile[data-program="Quoma"]');
  await until("the first question on screen", async () => (await events(page, "ready")).length > 1);
  await until("the teacher told", () => page.evaluate(() => !document.getElementById("banner").hidden));
  const told = await page.textContent("#banner");
  assert.match(told, /Quoma\.txt.*保存できませんでした/, "the banner names the file not saved");
  await leave(page);
  assert.ok(await page.isVisible(".lesson-warning"), "the menu says a file is not saved");
  assert.equal((await filesOf(page, [kTeacherFolder]))["Quoma.txt"], undefined);
  await page.evaluate(async (folderName) => {
    const root = await navigator.storage.getDirectory();
    await (await root.getDirectoryHandle(folderName)).removeEntry("Quoma.txt");
  }, kTeacherFolder);
  await page.click('.game-tile[data-program="Quoma"]');
  await until("the first question on screen", async () => (await events(page, "ready")).length > 2);
  await leave(page);
  const quoma = await sameAsCore(page, [kTeacherFolder], "after the second try");
  assert.ok(quoma["Quoma.txt"]?.length > 0, "the settings not saved at first are in the folder now");
  assert.ok(await page.isHidden(".lesson-warning"), "nothing is left unsaved");
  await page.close();

  // After a reload: the folder is listed and chosen, and its record goes on.
  const again = await openPage();
  const tile = await until("the folder's picture", async () => {
    const shown = await chosenTile(again);
    return shown.pictured ? shown : null;
  });
  assert.equal(tile.name, kTeacherFolder, "the lesson played last is chosen after a reload");
  const kept = recordLines((await filesOf(again, [kTeacherFolder]))[kRecord], "before the second visit");
  await play(again, "Oltar", 1);
  await leave(again);
  const after = recordLines((await sameAsCore(again, [kTeacherFolder], "second visit"))[kRecord], "second visit");
  assert.deepEqual(after.slice(0, kept.length), kept, "the lines of the first visit stay as they were");
  assert.equal(after.length, kept.length + 1, "one line more for the one answer");

  // Taken off the list: the folder itself stays as it is.
  await again.click(".lesson-forget");
  await until("the demo lesson chosen", async () => (await chosenTile(again)).key === "demo");
  assert.equal(await again.$(`.lesson-tile[data-key="${tile.key}"]`), null, "the folder is no longer listed");
  assert.deepEqual(recordLines((await filesOf(again, [kTeacherFolder]))[kRecord], "after it was taken off"), after);
  await again.close();
  const third = await openPage();
  assert.equal((await chosenTile(third)).key, "demo", "the demo lesson is chosen once the folder is off the list");
  assert.equal(await third.$(`.lesson-tile[data-key="${tile.key}"]`), null, "the folder stays off the list");
  await third.close();
  console.log(`ok the teacher's folder: ${after.length - 1} answers recorded, settings and task selection written back`);
}

// A folder chosen through the file input, as where no folder picker exists,
// written with the browser's writable streams or (query "&syncwriter") as
// browsers without them write, from a worker.
async function lessonInThePage(lessonName, query) {
  const source = join(temporary, lessonName);
  mkdirSync(source);
  for (const name of demoPictures.slice(0, 4)) copyFileSync(join(pageFolder, "lessons/demo", name), join(source, name));
  const page = await openPage(query);
  const tilesBefore = await page.$$eval(".lesson-tile", (tiles) => tiles.length);
  await page.setInputFiles(".lesson-folder-input", source);
  await until("the new lesson chosen", async () => (await chosenTile(page)).key === `stored:${lessonName}`);
  assert.equal(await page.$$eval(".lesson-tile", (tiles) => tiles.length), tilesBefore + 1, "the lessons before stay listed");
  await play(page, "Oltar", 3, async (answered) => {
    const files = await sameAsCore(page, ["lessons", lessonName], `${lessonName}, answer ${answered}`);
    assert.equal(recordLines(files[kRecord], lessonName).length, 1 + answered, `${lessonName}: a line per answer`);
  });
  await leave(page);
  const files = await sameAsCore(page, ["lessons", lessonName], `${lessonName} after the game`);
  assert.ok(files["Fname.txt"]?.length > 0 && files["Oltar.txt"]?.length > 0, `${lessonName}: the game's files are kept`);

  // The lesson as one .zip and the record as it is.
  const [zipped] = await Promise.all([page.waitForEvent("download"), page.click(".lesson-zip")]);
  const zipPath = join(temporary, "lesson.zip");
  await zipped.saveAs(zipPath);
  const listed = JSON.parse(
    execFileSync("python3", ["-c", `
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    print(json.dumps({i.filename: list(z.read(i)) if i.filename.endswith((".txt", ".csv")) else i.file_size for i in z.infolist()}))`,
      zipPath]).toString(),
  );
  for (const name of demoPictures.slice(0, 4)) {
    assert.equal(listed[name], readFileSync(join(source, name)).length, `the zip holds ${name} whole`);
  }
  for (const [name, bytes] of Object.entries(files)) assert.deepEqual(listed[name], bytes, `the zip holds ${name} as written`);
  const [record] = await Promise.all([page.waitForEvent("download"), page.click(".lesson-record")]);
  const recordPath = join(temporary, "record.csv");
  await record.saveAs(recordPath);
  assert.deepEqual([...readFileSync(recordPath)], files[kRecord], "the record downloads as it is");
  await page.close();

  const again = await openPage(query);
  await until("the stored lesson's picture", async () => {
    const shown = await chosenTile(again);
    return shown.pictured && shown.key === `stored:${lessonName}`;
  });
  // Taken out of the page: asked first; kept when the teacher says no.
  again.once("dialog", (dialog) => dialog.dismiss());
  await again.click(".lesson-forget");
  assert.equal((await chosenTile(again)).key, `stored:${lessonName}`, "kept when the teacher says no");
  again.once("dialog", (dialog) => dialog.accept());
  await again.click(".lesson-forget");
  await until("the demo lesson chosen", async () => (await chosenTile(again)).key === "demo");
  await assert.rejects(filesOf(again, ["lessons", lessonName]), "the lesson is gone from the page's storage");
  await again.close();
  console.log(`ok a lesson in the page's own storage${query}: played, zipped, record downloaded, chosen after a reload`);
}

// Pictures chosen one by one (a tablet's photo picker): a lesson named by the day.
async function picturesOneByOne() {
  const page = await openPage();
  const tilesBefore = await page.$$eval(".lesson-tile", (tiles) => tiles.length);
  await page.setInputFiles(".lesson-pictures-input", demoPictures.slice(0, 3).map((name) => join(pageFolder, "lessons/demo", name)));
  const key = await until("the new lesson chosen", async () => {
    const chosen = await chosenTile(page);
    return chosen.key.startsWith("stored:レッスン") && chosen.pictured ? chosen.key : null;
  });
  assert.equal(await page.$$eval(".lesson-tile", (tiles) => tiles.length), tilesBefore + 1);
  await play(page, "Oltar", 1);
  await leave(page);
  const files = await sameAsCore(page, ["lessons", key.slice("stored:".length)], "pictures one by one");
  assert.equal(recordLines(files[kRecord], "pictures one by one").length, 2);
  await page.close();
  console.log("ok pictures chosen one by one: a lesson of their own, played");
}

const failures = [];
try {
  const parts = [
    ["the teacher's folder", () => teachersFolder()],
    ["a lesson in the page", () => lessonInThePage("ひらがな", "")],
    ["a lesson in the page, written from a worker", () => lessonInThePage("カタカナ", "&syncwriter")],
    ["pictures one by one", () => picturesOneByOne()],
  ];
  for (const [what, part] of parts) {
    try {
      await part();
    } catch (error) {
      failures.push(`${what}: ${error.stack}`);
      console.log(`FAILED ${what}: ${error.message}`);
    }
  }
  if (errors.length > 0) failures.push(`script errors: ${errors.join("; ")}`);
} finally {
  await browser.close();
  server.close();
  rmSync(temporary, { recursive: true, force: true });
}
endTest(failures);
