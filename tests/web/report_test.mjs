// The learning report in the page, in Debian's headless chromium: a few
// answers in one game, then R; the report the core wrote shows over the game
// with those answers counted, 「保存」 gives the same HTML file, 「印刷」
// prints the report alone, and 「ゲームにもどる」 starts the lesson again. A
// report that cannot be written is said to the teacher, and the lesson goes on.
// usage: node report_test.mjs PAGE_FOLDER [SCREENSHOT_FOLDER]
import assert from "node:assert/strict";
import { readFile } from "node:fs/promises";
import { launch } from "./browser.mjs";
import { serve } from "./static_server.mjs";
import { trace, events, until, watchedPage } from "./page_trace.mjs";

const [pageFolder, shotFolder] = process.argv.slice(2);
const kProgram = "Oltar";
const kAnswers = 4;

const server = await serve(pageFolder);
const browser = await launch();

const stem = (file) => file.replace(/\.[^.]*$/, "");


// Answers at least kAnswers times and until one answer is wrong, taking the
// answer areas in turn (with a distractor card, a wrong one comes soon); the
// picture of each answer judged wrong, from the question before it in the trace.
async function answerSome(page) {
  const start = (await events(page, "answer")).length;
  for (let n = 0; n < 40; ++n) {
    const verdicts = (await events(page, "answer")).slice(start).map((fields) => fields[3]);
    if (verdicts.length >= kAnswers && verdicts.includes("wrong")) break;
    // A question open and its prompt heard to the end (a voice stopped by
    // the report may never say it has ended: only the last one counts).
    const answers = await until("a question to answer", async () => {
      const voice = (await trace(page)).filter((fields) => fields[1] === "speak" || fields[1] === "speech-end");
      const heard = voice.length === 0 || voice[voice.length - 1][1] === "speech-end";
      const open = await page.evaluate(() => window.kanae.answers());
      return heard && open.length > 0 ? open : null;
    });
    const before = (await events(page, "answer")).length;
    const choice = answers[n % answers.length];
    const shown = JSON.stringify(answers);
    await page.mouse.click(choice.x + choice.w / 2, choice.y + choice.h / 2);
    // Judged, or let pass (the question moved on under the pointer).
    await until("the click judged", async () => {
      if ((await events(page, "answer")).length > before) return true;
      return JSON.stringify(await page.evaluate(() => window.kanae.answers())) !== shown;
    }, 2000).catch(() => null);
  }
  const wrongPictures = new Set();
  let picture = null;
  for (const fields of await trace(page)) {
    if (fields[1] === "question") picture = fields[2];
    if (fields[1] === "answer" && fields[3] === "wrong") wrongPictures.add(picture);
  }
  return [...wrongPictures];
}

// A report that cannot be written: the teacher is told why, and once she has
// read it the lesson goes on.
async function reportNotWritten() {
  const { page, errors } = await watchedPage(browser, { viewport: { width: 1024, height: 768 } });
  try {
    await page.goto(`${server.url}?autostart&trace`);
    await page.waitForSelector(`.game-tile[data-program="${kProgram}"]`, { state: "visible" });
    // A folder where the report's page goes.
    await page.evaluate(() => window.kanae.makeLessonFolder("学習記録.html"));
    await page.click(`.game-tile[data-program="${kProgram}"]`);
    await until("the first question on screen", async () => (await events(page, "ready")).length > 0);
    const questions = (await events(page, "question")).length;
    await page.keyboard.press("r");
    await page.waitForSelector("#message", { state: "visible" });
    assert.match(await page.innerText("#message-text"), /学習記録のページを書き込めませんでした/);
    assert.equal(await page.isVisible("#report"), false, "no report shown");
    await page.click("#message-ok");
    await until("the lesson going on", async () => (await events(page, "question")).length > questions);
    assert.deepEqual(errors, [], "no script errors");
    console.log("ok report not written: the teacher is told and the lesson goes on");
  } finally {
    await page.close();
  }
}

const { page, errors } = await watchedPage(browser, { viewport: { width: 1024, height: 768 } });
try {
  await page.goto(`${server.url}?autostart&trace`);
  await page.waitForSelector(`.game-tile[data-program="${kProgram}"]`, { state: "visible" });
  // One distractor card, so that an answer can be wrong.
  await page.evaluate(() => window.kanae.writeLessonFile("Oltar.txt", "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n"));
  const title = (await page.evaluate(() => fetch("games.json").then((r) => r.json()))).find(
    (game) => game.program === "Oltar",
  ).title;
  await page.click(`.game-tile[data-program="${kProgram}"]`);
  await until("the first question on screen", async () => (await events(page, "ready")).length > 0);

  const wrongPictures = await answerSome(page);
  const answered = (await events(page, "answer")).length;
  assert.ok(answered >= kAnswers && wrongPictures.length > 0, `answers, some wrong (${answered})`);

  // R, as the teacher presses it: the report over the game.
  await page.keyboard.press("r");
  await page.waitForSelector("#report", { state: "visible" });
  const report = page.frameLocator("#report-frame");
  await report.locator("h1").waitFor();
  const text = await report.locator("body").innerText();
  assert.match(text, /学習記録：demo/, "the lesson's name heads the report");
  assert.ok(text.includes(title), `the game's title ${title} is in the report`);
  const answeredCard = await report.locator(".card", { hasText: "答えた数" }).first().locator(".value").innerText();
  assert.equal(Number(answeredCard), answered, "the answers are counted");
  const missed = await report.locator("table", { hasText: "不正解" }).last().innerText();
  for (const picture of wrongPictures) {
    assert.ok(missed.includes(stem(picture)), `${picture}, answered wrong, is among the pictures missed`);
  }
  if (shotFolder) await page.screenshot({ path: `${shotFolder}/report.png` });

  // 「保存」: the file itself, under the name the desktop gives it.
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#report-save")]);
  assert.equal(download.suggestedFilename(), "学習記録.html");
  const saved = await readFile(await download.path());
  const shown = await page.$eval("#report-frame", (frame) => frame.srcdoc);
  assert.ok(saved.equals(Buffer.from(shown, "utf8")), "the saved file is the report shown, byte for byte");
  assert.ok(saved.toString("utf8").startsWith("<!DOCTYPE html>"), "the saved file is an HTML page");

  // 「印刷」 prints the report's own window, not the game around it (the
  // frame's sandbox lets it print).
  await page.$eval("#report-frame", (frame) => {
    frame.contentWindow.addEventListener("beforeprint", () => (window.kanaeReportPrinted = true));
  });
  await page.click("#report-print");
  await until("the report printed", () => page.evaluate(() => window.kanaeReportPrinted === true), 5000);

  // Back to the game: the report goes and the lesson starts again.
  const questions = (await events(page, "question")).length;
  await page.click("#report-back");
  await page.waitForSelector("#report", { state: "hidden" });
  await until("a new question", async () => (await events(page, "question")).length > questions);

  // A second report counts what came since.
  await answerSome(page);
  const all = (await events(page, "answer")).length;
  await page.keyboard.press("r");
  await page.waitForSelector("#report", { state: "visible" });
  await until(`the report with all ${all} answers`, async () => {
    const value = await report.locator(".card", { hasText: "答えた数" }).first().locator(".value").innerText();
    return Number(value) === all;
  });
  await page.click("#report-back");

  await page.keyboard.press("Escape");
  await until("the exit", async () => (await events(page, "exit")).length > 0);
  await page.waitForSelector("#menu", { state: "visible" });
  assert.deepEqual(errors, [], "no script errors");
  console.log(`ok report: ${answered} answers counted, ${wrongPictures.length} pictures missed named, saved and back`);
  await reportNotWritten();
} catch (error) {
  console.log(`FAILED report: ${error.message}`);
  process.exitCode = 1;
} finally {
  await page.close();
  await browser.close();
  server.close();
}
