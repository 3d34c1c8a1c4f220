// The teacher's side of the page in Debian's headless chromium: the panel
// opened by a two-second hold on the game's corner and never by a tap, and
// the dialogs it opens writing the same files, byte for byte, as the desktop
// games write for the same choices; the lesson restarts after each.
// usage: node teacher_panel_test.mjs PAGE_FOLDER [SCREENSHOT_FOLDER]
import assert from "node:assert/strict";
import { launch } from "./browser.mjs";
import { serve } from "./static_server.mjs";
import { trace, events, until, heardAnswers, watchedPage, endTest } from "./page_trace.mjs";

const [pageFolder, shotFolder] = process.argv.slice(2);
const kHoldMs = 2000;

const server = await serve(pageFolder);
const browser = await launch();
const failures = [];

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));


// The files are CP932 with CR LF. Node reads Shift_JIS but does not write
// it: the table is made by reading every two-byte code once.
const cp932 = (() => {
  const decoder = new TextDecoder("shift_jis", { fatal: true });
  const table = new Map();
  for (let lead = 0x81; lead <= 0xfc; ++lead) {
    if (lead > 0x9f && lead < 0xe0) continue;
    for (let trail = 0x40; trail <= 0xfc; ++trail) {
      if (trail === 0x7f) continue;
      try {
        const ch = decoder.decode(new Uint8Array([lead, trail]));
        if (!table.has(ch)) table.set(ch, [lead, trail]);
      } catch {
        // not a character
      }
    }
  }
  return (text) =>
    [...text].flatMap((ch) => {
      if (ch.codePointAt(0) < 0x80) return [ch.codePointAt(0)];
      const bytes = table.get(ch);
      if (!bytes) throw new Error(`${ch} has no CP932 code`);
      return bytes;
    });
})();

const readFile = (page, name) => page.evaluate((n) => window.kanae.readLessonFile(n), name);
const hidden = (page, selector) => page.$eval(selector, (node) => node.hidden);

async function openGame(page, program, files = {}) {
  await page.goto(`${server.url}?autostart&trace`);
  await page.waitForSelector(`.game-tile[data-program="${program}"]`, { state: "visible" });
  for (const [name, text] of Object.entries(files)) {
    await page.evaluate(([n, t]) => window.kanae.writeLessonFile(n, t), [name, text]);
  }
  await page.click(`.game-tile[data-program="${program}"]`);
  await until("the first question on screen", async () => (await events(page, "ready")).length > 0);
}

// A question is open and its prompt has been said: a press now would answer.
async function questionOpen(page) {
  await until("a question to answer", () => heardAnswers(page));
}

async function corner(page) {
  return page.$eval(".teacher-corner", (node) => {
    const box = node.getBoundingClientRect();
    return { x: box.left, y: box.top, w: box.width, h: box.height };
  });
}

// Holds the mouse's main button on the corner until the panel is open.
async function holdCorner(page) {
  const box = await corner(page);
  await page.mouse.move(box.x + box.w / 2, box.y + box.h / 2);
  await page.mouse.down();
  await sleep(kHoldMs / 2);
  assert.equal(await hidden(page, "#teacher-panel"), true, "half a hold opens nothing");
  assert.equal(await hidden(page, ".hold-ring"), false, "a ring fills while the corner is held");
  await until("the panel after a hold", async () => !(await hidden(page, "#teacher-panel")), 5000);
  await page.mouse.up();
}

// Runs the step; its lesson has restarted when a question comes after the dialog.
async function restartsAfter(page, step) {
  const before = (await trace(page)).length;
  await step();
  await until("a new question after the dialog", async () =>
    (await trace(page)).slice(before).some((fields) => fields[1] === "question"),
  );
}

// A tap on the corner is nothing, not even an answer in the picture-card
// game's left/right method, where any press of the left button answers.
async function tapsAreNothing() {
  const { page, errors } = await watchedPage(browser, { viewport: { width: 1024, height: 768 }, hasTouch: true });
  try {
    await openGame(page, "Vintal", { "Vintal.txt": "#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n" });
    await questionOpen(page);
    const box = await corner(page);
    await page.touchscreen.tap(box.x + 10, box.y + 10);
    await page.mouse.click(box.x + box.w - 2, box.y + box.h - 2);
    // A hold let go before its time is nothing either.
    await page.mouse.move(box.x + 20, box.y + 20);
    await page.mouse.down();
    await sleep(kHoldMs / 2);
    await page.mouse.up();
    await sleep(kHoldMs);
    assert.equal(await hidden(page, "#teacher-panel"), true, "a tap does not open the panel");
    assert.equal((await events(page, "answer")).length, 0, "a tap on the corner is no answer");
    // The same press just outside the corner answers.
    await page.mouse.click(box.x + box.w + 4, box.y + box.h + 4);
    await until("the press outside the corner judged", async () => (await events(page, "answer")).length > 0, 5000);
    assert.deepEqual(errors, []);
    console.log("ok a tap or a short hold on the corner does nothing and answers nothing");
  } finally {
    await page.close();
  }
}

// The corner reaches no answer of the card-picking game, whose first card
// stands nearest to it, on a tablet either way round.
async function cornerLeavesAnswersAlone() {
  for (const viewport of [{ width: 1024, height: 768 }, { width: 768, height: 1024 }, { width: 1366, height: 768 }]) {
    const page = await browser.newPage({ viewport });
    try {
      await openGame(page, "Suvan");
      await questionOpen(page);
      const box = await corner(page);
      assert.ok(box.w >= 48 && box.h >= 48, `the corner is a finger's target (${box.w})`);
      for (const answer of await page.evaluate(() => window.kanae.answers())) {
        const apart = answer.x >= box.x + box.w || answer.y >= box.y + box.h;
        assert.ok(apart, `${viewport.width}x${viewport.height}: the corner ${box.w} reaches ${JSON.stringify(answer)}`);
      }
    } finally {
      await page.close();
    }
  }
  console.log("ok the corner reaches no answer");
}

async function dialogsWriteTheDesktopsFiles() {
  const { page, errors } = await watchedPage(browser, { viewport: { width: 1024, height: 768 } });
  try {
    await openGame(page, "Oltar");
    await questionOpen(page);
    const defaults = await readFile(page, "Oltar.txt");
    assert.deepEqual(defaults, cp932("#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#\r\n"), "the game's defaults");

    // Settings, from the panel: two distractor letters.
    await holdCorner(page);
    if (shotFolder) await page.screenshot({ path: `${shotFolder}/panel.png` });
    assert.equal((await events(page, "answer")).length, 0, "the hold answered nothing");
    await page.click("#teacher-panel .teacher-action[data-key='72']");
    await page.waitForSelector("#teacher-dialog[data-kind='settings']", { state: "visible" });
    assert.ok((await events(page, "dialog")).some((fields) => fields[2] === "settings"));
    assert.equal(await page.textContent("#teacher-dialog h2"), "オルタ文字設定");
    await page.click("#teacher-dialog fieldset:has(legend:text-is('まどわし文字')) label:has-text('２字有り')");
    await page.waitForFunction(
      () => document.querySelector("#teacher-dialog input[data-name='Option7']").checked,
    );
    if (shotFolder) await page.screenshot({ path: `${shotFolder}/settings.png` });
    await restartsAfter(page, () => page.click("#teacher-dialog .dialog-confirm"));
    assert.equal(await hidden(page, "#teacher-dialog"), true);
    // As the desktop's dialog writes the same choice.
    assert.deepEqual(await readFile(page, "Oltar.txt"), cp932("#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#\r\n"));

    // The task selection, by its key: three pictures are refused, four taken.
    await questionOpen(page);
    await page.keyboard.press("n");
    await page.waitForSelector("#teacher-dialog[data-kind='tasks']", { state: "visible" });
    await page.waitForSelector(".task-tile:first-child canvas[data-shown='picture']");
    if (shotFolder) await page.screenshot({ path: `${shotFolder}/tasks.png` });
    const files = await page.$$eval(".task-tile", (tiles) => tiles.map((tile) => tile.title));
    const selection = await readFile(page, "Fname.txt");
    await page.click(".dialog-none");
    await page.waitForFunction(() => document.querySelectorAll(".task-tile.marked").length === 0);
    const chosen = [0, 2, 5];
    for (const entry of chosen) await page.click(`.task-tile[data-entry='${entry}']`);
    await page.waitForFunction(() => document.querySelectorAll(".task-tile.marked").length === 3);
    await page.click("#teacher-dialog .dialog-confirm");
    await page.waitForSelector("#message", { state: "visible" });
    assert.match(await page.textContent("#message-text"), /4枚以上/);
    await page.click("#message-ok");
    assert.equal(await hidden(page, "#teacher-dialog"), false, "refused: the dialog stays");
    assert.deepEqual(await readFile(page, "Fname.txt"), selection, "refused: nothing written");
    chosen.push(7);
    await page.click(".task-tile[data-entry='7']");
    await page.waitForFunction(() => document.querySelectorAll(".task-tile.marked").length === 4);
    const before = (await trace(page)).length;
    await restartsAfter(page, () => page.click("#teacher-dialog .dialog-confirm"));
    assert.equal(await hidden(page, "#teacher-dialog"), true);
    const expected = files.map((file, i) => `"${file}",${chosen.includes(i) ? "#TRUE#" : "#FALSE#"}\r\n`).join("");
    assert.deepEqual(await readFile(page, "Fname.txt"), cp932(expected));
    const asked = (await trace(page)).slice(before).find((fields) => fields[1] === "question")[2];
    assert.ok(chosen.map((i) => files[i]).includes(asked), `${asked} is one of the chosen pictures`);

    // The ways of answering, from the panel: resting on an answer for a second.
    await questionOpen(page);
    await holdCorner(page);
    await page.click("#teacher-panel .teacher-action[data-key='83']");
    await page.waitForSelector("#teacher-dialog[data-kind='input']", { state: "visible" });
    await page.click("#teacher-dialog label:has(input[data-name='Dwell1000'])");
    await restartsAfter(page, () => page.click("#teacher-dialog .dialog-confirm"));
    assert.deepEqual(await readFile(page, "入力.txt"), cp932("1000,0,2000,#TRUE#,0\r\n"));

    // キャンセル (Esc) writes nothing and the lesson restarts all the same.
    await page.keyboard.press("h");
    await page.waitForSelector("#teacher-dialog[data-kind='settings']", { state: "visible" });
    assert.equal(
      await page.$eval("#teacher-dialog input[data-name='Option7']", (radio) => radio.checked),
      true,
      "the dialog shows the saved settings",
    );
    await page.click("#teacher-dialog input[data-name='Option5']");
    await restartsAfter(page, () => page.keyboard.press("Escape"));
    assert.deepEqual(await readFile(page, "Oltar.txt"), cp932("#TRUE#,#TRUE#,2,0,#TRUE#,#FALSE#\r\n"));
    assert.equal((await events(page, "exit")).length, 0, "Esc in a dialog leaves the dialog, not the game");

    // おわる ends the game as Esc does.
    await holdCorner(page);
    await page.click("#teacher-panel .teacher-action[data-key='27']");
    await until("the exit", async () => (await events(page, "exit")).length > 0);
    await page.waitForSelector("#menu", { state: "visible" });
    assert.deepEqual(errors, [], "no script errors");
    console.log("ok the dialogs write the desktop's files and the lesson restarts after each");
  } finally {
    await page.close();
  }
}

try {
  for (const test of [tapsAreNothing, cornerLeavesAnswersAlone, dialogsWriteTheDesktopsFiles]) {
    try {
      await test();
    } catch (error) {
      failures.push(`${test.name}: ${error.message}`);
      console.log(`FAILED ${test.name}: ${error.stack}`);
    }
  }
} finally {
  await browser.close();
  server.close();
}
endTest(failures);
