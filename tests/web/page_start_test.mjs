// The page starts its first question before the lesson and the sound pack
// are in, in Debian's headless chromium: what it fetches before the question
// is drawn, a picture that comes late or never, a cue that sounds before its
// file is in, and the font's pieces.
// usage: node page_start_test.mjs PAGE_FOLDER
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { launch } from "./browser.mjs";
import { serve } from "./static_server.mjs";
import { events, until, heardAnswers, endTest } from "./page_trace.mjs";

const [pageFolder] = process.argv.slice(2);
const server = await serve(pageFolder);
const browser = await launch();
const failures = [];
const lessonPictures = JSON.parse(readFileSync(join(pageFolder, "lessons/demo/index.json"), "utf8"));
const soundLengths = JSON.parse(readFileSync(join(pageFolder, "sounds/lengths.json"), "utf8"));

async function check(name, run) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const page = await context.newPage();
  // The page's clock when the first question was drawn whole.
  await page.addInitScript(() => {
    performance.setResourceTimingBufferSize(2000); // every file of the page, not the first 250
    let lines;
    Object.defineProperty(window, "kanaeTrace", {
      get: () => lines,
      set: (value) => {
        lines = value;
        const push = lines.push;
        lines.push = function (...added) {
          if (window.readyAt === undefined && added.some((line) => line.split("\t")[1] === "ready")) {
            window.readyAt = performance.now();
          }
          return push.apply(this, added);
        };
      },
    });
  });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  try {
    await run(page);
    assert.deepEqual(errors, [], "no script errors");
    console.log(`ok ${name}`);
  } catch (error) {
    failures.push(`${name}: ${error.message}`);
    console.log(`FAILED ${name}: ${error.stack}`);
  } finally {
    await context.close();
  }
}

// The page's own files asked for (before the first question was drawn whole).
const fetched = (page, beforeReady = false) =>
  page.evaluate((before) => performance
    .getEntriesByType("resource")
    .filter((entry) => !before || entry.startTime < window.readyAt)
    .map((entry) => decodeURIComponent(new URL(entry.name).pathname)), beforeReady);
const ready = async (page) => (await events(page, "ready")).length > 0;
const isPicture = (path) => path.startsWith("/lessons/demo/") && !path.endsWith(".json");
const isSound = (path) => path.startsWith("/sounds/") && !path.endsWith(".json");

await check("the first question is drawn before the rest of the lesson and the sounds are fetched", async (page) => {
  await page.goto(`${server.url}?autostart&game=Oltar&trace`);
  await until("the first question drawn with its picture", () => ready(page));
  const before = await fetched(page, true);
  const pictures = before.filter(isPicture);
  // The question's own, and the menu's picture of the lesson.
  assert.ok(pictures.length >= 1 && pictures.length <= 5, `only the question's pictures by then (${pictures.join(", ")})`);
  assert.deepEqual(before.filter(isSound), [], "no sound yet");
  assert.ok(before.includes("/fonts/kanae-kana.woff2"), "the font's first piece");
  assert.ok(!before.includes("/fonts/kanae-all.woff2"), "not the whole font: the game shows kana only");
  // The rest comes behind the game.
  await until("every picture and sound fetched", async () => {
    const now = await fetched(page);
    return now.filter(isPicture).length >= lessonPictures.length &&
      now.filter(isSound).length >= Object.keys(soundLengths).length;
  }, 30000);
});

await check("the first question waits for pictures that come late", async (page) => {
  await page.route("**/lessons/demo/*", async (route) => {
    if (!route.request().url().endsWith(".json")) await new Promise((resolve) => setTimeout(resolve, 1000));
    return route.continue();
  });
  await page.goto(`${server.url}?autostart&game=Oltar&trace`);
  await until("the first question drawn", () => ready(page));
  const [question, drawn] = await page.evaluate(() =>
    ["question", "ready"].map((event) => Number(window.kanaeTrace.find((line) => line.split("\t")[1] === event).split("\t")[0])),
  );
  assert.ok(drawn - question >= 700, `the question waited for its pictures (${drawn - question} ms)`);
});

await check("pictures that never come are shown as missing and the game goes on", async (page) => {
  await page.route("**/lessons/demo/*", (route) =>
    route.request().url().endsWith(".json") ? route.continue() : route.abort(),
  );
  await page.goto(`${server.url}?autostart&game=Oltar&trace`);
  await until("the first question drawn", () => ready(page));
  const before = (await events(page, "question")).length;
  for (let tries = 0; tries < 10 && (await events(page, "question")).length === before; tries++) {
    const answers = await until("a question to answer", () => heardAnswers(page));
    const answer = answers[tries % answers.length];
    await page.mouse.click(answer.x + answer.w / 2, answer.y + answer.h / 2);
    await new Promise((resolve) => setTimeout(resolve, 500));
  }
  await until("the next question", async () => (await events(page, "question")).length > before);
});

await check("a cue that sounds before its file is in keeps its length", async (page) => {
  const holding = [];
  await page.route("**/sounds/*", (route) => {
    if (route.request().url().endsWith(".json")) return route.continue();
    holding.push(route); // never answered in this test
  });
  await page.goto(`${server.url}?autostart&game=Oltar&trace`);
  await until("the first question drawn", () => ready(page));
  const answers = await until("a question to answer", () => heardAnswers(page));
  await page.mouse.click(answers[0].x + answers[0].w / 2, answers[0].y + answers[0].h / 2);
  const [cue] = await until("a cue", () => events(page, "cue").then((found) => (found.length > 0 ? found : null)));
  const [end] = await until("its end", () => events(page, "cue-end").then((found) => (found.length > 0 ? found : null)));
  const file = cue.slice(2).find((field) => field in soundLengths || field.split("/").pop() in soundLengths);
  assert.ok(file, `the cue's file is one of the pack's (${cue.join(" | ")})`);
  const seconds = soundLengths[file] ?? soundLengths[file.split("/").pop()];
  const waited = Number(end[0]) - Number(cue[0]);
  assert.ok(waited >= seconds * 1000 - 50, `the cue kept its ${seconds} s (${waited} ms)`);
  assert.ok(holding.length > 0, "the pack was still being held");
});

await check("a character beyond the first piece of the font brings the whole font", async (page) => {
  await page.goto(`${server.url}?autostart&trace`);
  await page.waitForSelector("#menu", { state: "visible" });
  const faces = await page.evaluate(async () => {
    await document.fonts.load('bold 32px "KanaeGothic"', "鬱");
    return [...document.fonts].filter((face) => face.family.includes("KanaeGothic")).map((face) => face.status);
  });
  assert.deepEqual(faces, ["loaded", "loaded"], "both pieces loaded");
  assert.ok((await fetched(page)).includes("/fonts/kanae-all.woff2"));
});

browser.close();
server.close();
endTest(failures);
