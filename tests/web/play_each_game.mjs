// Plays each of the six games in Debian's headless chromium on the demo
// lesson, as a child would with the pointer: one answer right and one wrong,
// checked in the trace; then Esc ends the game and the menu is back.
// usage: node play_each_game.mjs PAGE_FOLDER [SCREENSHOT_FOLDER]
// (KANAE_GAMES=Oltar,Quoma plays only those.)
import assert from "node:assert/strict";
import { launch } from "./browser.mjs";
import { serve } from "./static_server.mjs";
import { trace, events, until, heardAnswers, watchedPage, endTest } from "./page_trace.mjs";

const [pageFolder, shotFolder] = process.argv.slice(2);
const kGames = ["Oltar", "Pemble", "Suvan", "Dabrel", "Quoma", "Vintal"];
// One game on a tablet's screen: touches, at twice the pixels, the tablet
// turned upright once the game has started.
const kTablet = "Vintal";
// The two letter games ask with the right letter alone by default: one
// distractor card gives the child something to get wrong.
const kSettings = {
  "Oltar.txt": "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n",
  "Pemble.txt": "#TRUE#,#TRUE#,1,0,#TRUE#,#FALSE#\r\n",
};

const server = await serve(pageFolder);
const browser = await launch();
const failures = [];
const only = process.env.KANAE_GAMES ? process.env.KANAE_GAMES.split(",") : null;


const katakana = (text) =>
  [...text].map((ch) => (ch >= "\u3041" && ch <= "\u3096" ? String.fromCharCode(ch.charCodeAt(0) + 0x60) : ch)).join("");


async function play(program) {
  const tablet = program === kTablet;
  const { page, errors } = await watchedPage(browser, {
    viewport: { width: 1024, height: 768 },
    deviceScaleFactor: tablet ? 2 : 1,
    hasTouch: tablet,
  });
  try {
    await page.goto(`${server.url}?autostart&trace`);
    // From the menu, as a teacher starts a game.
    await page.waitForSelector(`.game-tile[data-program="${program}"]`, { state: "visible" });
    for (const [name, text] of Object.entries(kSettings)) {
      await page.evaluate(([n, t]) => window.kanae.writeLessonFile(n, t), [name, text]);
    }
    if (tablet) await page.tap(`.game-tile[data-program="${program}"]`);
    else await page.click(`.game-tile[data-program="${program}"]`);
    await until("the first question on screen", async () => (await events(page, "ready")).length > 0);
    if (tablet) {
      // The layout stays the one the game started with, scaled to fit: every
      // answer is still on the screen, and touched where it is seen.
      await page.setViewportSize({ width: 768, height: 1024 });
      const answers = await until("a question to answer", () => heardAnswers(page));
      for (const a of answers) {
        assert.ok(a.x >= 0 && a.y >= 0 && a.x + a.w <= 768.5 && a.y + a.h <= 1024.5,
          `${program}: an answer on the turned screen (${JSON.stringify(a)})`);
      }
    }

    // Answers in turn until one is right; over a few questions a wrong
    // one comes too (a right one first is as likely as not).
    const judged = { right: 0, wrong: 0 };
    const tried = new Set(); // answers chosen wrong in the open question
    const keyOf = (answer) => `${answer.name}|${answer.caption}|${answer.picture}`;
    for (let tries = 0; tries < 40 && (judged.right === 0 || judged.wrong === 0); ++tries) {
      // A question open and its prompt heard: a click now is judged.
      const answers = await until("a question to answer", () => heardAnswers(page));
      const before = (await events(page, "answer")).length;
      // The first untried answer in one question, the last in the next: a
      // game that keeps its right answer in one place still gets a wrong one.
      const untried = answers.filter((answer) => !tried.has(keyOf(answer)));
      const choice = (judged.right % 2 === 0 ? untried[0] : untried[untried.length - 1]) ?? answers[0];
      const shown = JSON.stringify(answers);
      const [x, y] = [choice.x + choice.w / 2, choice.y + choice.h / 2];
      if (tablet) await page.touchscreen.tap(x, y);
      else await page.mouse.click(x, y);
      // Judged, or moved on without a verdict (a caught letter), or let pass.
      await until("the click judged", async () => {
        if ((await events(page, "answer")).length > before) return true;
        return JSON.stringify(await page.evaluate(() => window.kanae.answers())) !== shown;
      }, 2000).catch(() => null);
      const verdicts = (await events(page, "answer")).map((fields) => fields[3]);
      judged.right = verdicts.filter((v) => v === "right").length;
      judged.wrong = verdicts.filter((v) => v === "wrong").length;
      if (verdicts.length <= before) continue;
      if (verdicts[verdicts.length - 1] === "right") tried.clear();
      else tried.add(keyOf(choice));
    }
    assert.ok(judged.right > 0 && judged.wrong > 0, `${program}: right and wrong answers (${JSON.stringify(judged)})`);

    const lines = await trace(page);
    const names = lines.map((fields) => fields[1]);
    for (const needed of ["question", "speak", "speech-end", "cue", "cue-end", "answer"]) {
      assert.ok(names.includes(needed), `${program}: the trace has ${needed}`);
    }
    // A picture's name is given to the voice as it is written, in
    // katakana, never as the particle は or へ.
    let name = null;
    for (const fields of lines) {
      if (fields[1] === "question") name = fields[2].replace(/\.[^.]*$/, "");
      if (fields[1] !== "speak" || name === null || !fields[2].startsWith(name)) continue;
      assert.ok(fields[3].startsWith(katakana(name)), `${program}: ${fields[2]} read ${fields[3]}`);
    }
    if (shotFolder) await page.screenshot({ path: `${shotFolder}/${program}.png` });

    await page.keyboard.press("Escape");
    await until("the exit", async () => (await events(page, "exit")).length > 0);
    await page.waitForSelector("#menu", { state: "visible" });
    assert.deepEqual(errors, [], `${program}: no script errors`);
    console.log(`ok ${program}: ${judged.right} right, ${judged.wrong} wrong, ${lines.length} trace lines`);
  } catch (error) {
    failures.push(`${program}: ${error.message}`);
    console.log(`FAILED ${program}: ${error.message}`);
  } finally {
    await page.close();
  }
}

try {
  for (const program of kGames) if (!only || only.includes(program)) await play(program);
} finally {
  await browser.close();
  server.close();
}
endTest(failures);
