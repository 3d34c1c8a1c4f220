// The page installed and offline, and its kiosk, in Debian's headless chromium:
// - the app's manifest and icons are served as the page names them;
// - after one visit the service worker keeps every file of the page, and the
//   page reloaded with no network at all (the browser offline and the server
//   stopped) still plays a game;
// - a changed page is taken at the next start, never while a game is open, and
//   the old copy is deleted then;
// - the start screen's touch asks for full screen; under ?kiosk a teacher's
//   key acts only when held for two seconds, while a hint fills.
// usage: node offline_test.mjs PAGE_FOLDER
// (KANAE_CHECKS=kiosk runs only the checks whose names have that in them.)
import assert from "node:assert/strict";
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, relative } from "node:path";
import { launch } from "./browser.mjs";
import { serve } from "./static_server.mjs";
import { events, until as untilWithin, heardAnswers, endTest } from "./page_trace.mjs";
const until = (what, test, ms = 20000) => untilWithin(what, test, ms);

const [pageFolder] = process.argv.slice(2);
const browser = await launch();
const failures = [];
const kHoldMs = 2000; // as the desktop's key lock



function filesUnder(folder) {
  const found = [];
  const walk = (at) => {
    for (const name of readdirSync(at)) {
      const path = join(at, name);
      if (statSync(path).isDirectory()) walk(path);
      else found.push(relative(folder, path).split("\\").join("/"));
    }
  };
  walk(folder);
  return found.sort();
}

// A PNG's width and height, from its header.
function pngSize(bytes) {
  assert.equal(Buffer.from(bytes.slice(1, 4)).toString("latin1"), "PNG", "a PNG file");
  const view = new DataView(bytes.buffer, bytes.byteOffset);
  return `${view.getUint32(16)}x${view.getUint32(20)}`;
}

// A page in a fresh browser profile, its script errors kept.
async function open(url) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const page = await context.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(url);
  return { context, page, errors };
}

const controlled = (page) => page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 60000 });

// The first question, answered once by the pointer: the game plays.
async function answerOnce(page) {
  await until("the first question on screen", async () => (await events(page, "ready")).length > 0);
  const answers = await until("a question to answer", () => heardAnswers(page));
  const [first] = answers;
  await page.mouse.click(first.x + first.w / 2, first.y + first.h / 2);
  await until("the answer judged", async () => (await events(page, "answer")).length > 0);
}

async function check(name, run) {
  if (process.env.KANAE_CHECKS && !process.env.KANAE_CHECKS.split(",").some((part) => name.includes(part))) return;
  try {
    await run();
    console.log(`ok ${name}`);
  } catch (error) {
    failures.push(`${name}: ${error.message}`);
    console.log(`FAILED ${name}: ${error.stack}`);
  }
}

// Every file of the folder is kept, and the page plays with no network.
await check("offline after one visit", async () => {
  const server = await serve(pageFolder);
  const { context, page, errors } = await open(`${server.url}?trace`);
  try {
    await controlled(page);
    const kept = await page.evaluate(async () => {
      const names = await caches.keys();
      const cache = await caches.open(names.find((name) => name.startsWith("kanae-")));
      return (await cache.keys()).map((request) => decodeURIComponent(new URL(request.url).pathname));
    });
    const expected = ["/", ...filesUnder(pageFolder).filter((file) => file !== "sw.js").map((file) => `/${file}`)];
    assert.deepEqual(kept.sort(), expected.sort(), "the cache holds every file of the page");

    await context.setOffline(true);
    server.close();
    // Truly gone: what the worker does not keep cannot be fetched.
    const reached = await page.evaluate(() => fetch("not-kept.txt").then(() => true, () => false));
    assert.equal(reached, false, "the network is gone");

    await page.goto(`${server.url}?game=Oltar&autostart&trace`);
    await answerOnce(page);
    const [verdict] = await events(page, "answer");
    assert.ok(["right", "wrong"].includes(verdict[3]), `an answer judged: ${verdict.join(" ")}`);
    assert.deepEqual(errors, [], "no script errors");
  } finally {
    await context.close();
    server.close();
  }
});

// The manifest the page links to: the Japanese name, and icons of the sizes
// it says, for a home screen of any shape.
await check("manifest and icons", async () => {
  const server = await serve(pageFolder);
  const { context, page } = await open(server.url);
  try {
    const link = await page.evaluate(() => document.querySelector('link[rel="manifest"]')?.href ?? null);
    assert.ok(link, "the page links its manifest");
    const response = await page.request.get(link);
    assert.equal(response.status(), 200, "the manifest is served");
    const manifest = JSON.parse(await response.text());
    assert.equal(manifest.name, "かなえ");
    assert.equal(manifest.short_name, "かなえ");
    assert.equal(manifest.start_url, ".");
    assert.ok(["fullscreen", "standalone"].includes(manifest.display), `display ${manifest.display}`);
    for (const colour of [manifest.theme_color, manifest.background_color]) {
      assert.match(colour, /^#[0-9a-f]{6}$/i, "a colour");
    }
    const purposes = new Set();
    const pngSizes = new Set();
    for (const icon of manifest.icons) {
      const got = await page.request.get(new URL(icon.src, link).href);
      assert.equal(got.status(), 200, `${icon.src} is served`);
      const bytes = new Uint8Array(await got.body());
      if (icon.type === "image/png") {
        assert.equal(pngSize(bytes), icon.sizes, `${icon.src} is as large as it says`);
        pngSizes.add(icon.sizes);
      }
      for (const purpose of (icon.purpose ?? "any").split(" ")) purposes.add(purpose);
    }
    for (const size of ["192x192", "512x512"]) assert.ok(pngSizes.has(size), `a ${size} icon`);
    assert.ok(purposes.has("maskable") && purposes.has("any"), "icons for any home screen");
  } finally {
    await context.close();
    server.close();
  }
});

// A changed file makes a new version; it waits while a game is open and is
// taken when the page starts again, and the old copy goes.
await check("an update at the next start", async () => {
  const copy = mkdtempSync(join(tmpdir(), "kanae-page-"));
  cpSync(pageFolder, copy, { recursive: true });
  const server = await serve(copy);
  try {
    const opened = await open(`${server.url}?trace`);
    const { context, errors } = opened;
    let { page } = opened;
    await controlled(page);
    // The page may be starting again as it is asked: then nothing yet.
    const cachesNow = () =>
      page.evaluate(async () => (await caches.keys()).filter((name) => name.startsWith("kanae-"))).catch(() => []);
    const [first] = await cachesNow();

    // A new version of the page, as the build makes it: a changed style and
    // the worker's new version.
    writeFileSync(join(copy, "kanae.css"), readFileSync(join(copy, "kanae.css"), "utf8") + "\n/* changed */\n");
    const worker = readFileSync(join(copy, "sw.js"), "utf8");
    const changed = worker.replace(/"version": "([0-9a-f]+)"/, (_, version) => `"version": "${version}0"`);
    assert.notEqual(changed, worker, "the worker names its version");
    writeFileSync(join(copy, "sw.js"), changed);

    // A game opens; the page checks for an update as it starts and fetches
    // the new worker, which then waits.
    await page.goto(`${server.url}?game=Oltar&autostart&trace`);
    await until("the new version fetched", () =>
      page.evaluate(async () => (await navigator.serviceWorker.getRegistration())?.waiting?.state === "installed"),
    );
    await answerOnce(page);
    const mid = await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      return { waiting: registration.waiting !== null, style: await (await fetch("kanae.css")).text() };
    });
    assert.ok(mid.waiting, "the new version waits while a game is open");
    assert.ok(!mid.style.includes("changed"), "the open page is still answered by its own version");
    assert.equal((await events(page, "exit")).length, 0, "the game was not interrupted");

    // The next start takes it (the page closed and opened again): the page
    // starts as the new version.
    await page.close();
    page = await context.newPage();
    page.on("pageerror", (error) => errors.push(error.message));
    await page.goto(`${server.url}?trace`);
    let names = [];
    await until("the new version in charge", async () => {
      names = await cachesNow();
      return names.length === 1 && names[0] !== first;
    }).catch(async (error) => {
      const workers = await page.evaluate(async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        return [registration?.active?.state, registration?.waiting?.state, registration?.installing?.state];
      });
      throw new Error(`${error.message}: caches ${names}, workers ${workers}`);
    });
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    const style = await page.evaluate(async () => (await fetch("kanae.css")).text());
    assert.ok(style.includes("changed"), "the new version's files are served");
    assert.deepEqual(errors, [], "no script errors");
    await context.close();
  } finally {
    server.close();
    rmSync(copy, { recursive: true, force: true });
  }
});

// The start screen's touch asks for full screen.
await check("full screen from the start screen", async () => {
  const server = await serve(pageFolder);
  const { context, page } = await open(`${server.url}?trace`);
  try {
    await page.waitForSelector("#start-button", { state: "visible" });
    await page.click("#start-button");
    await page.waitForSelector("#menu", { state: "visible" });
    await until("full screen", () => page.evaluate(() => document.fullscreenElement !== null), 5000);
  } finally {
    await context.close();
    server.close();
  }
});

// Under ?kiosk, a short press of Esc does nothing; held, it ends the game
// after two seconds, while the hint shows what holding does.
await check("kiosk key hold", async () => {
  const server = await serve(pageFolder);
  const { context, page, errors } = await open(`${server.url}?game=Oltar&autostart&trace&kiosk`);
  try {
    await until("the first question on screen", async () => (await events(page, "ready")).length > 0);
    await page.keyboard.press("Escape");
    await page.keyboard.press("h");
    await page.keyboard.press("Control+n"); // the game takes it as N
    const start = Date.now();
    await page.keyboard.down("Escape");
    await until("the hint", () => page.evaluate(() => {
      const hint = document.getElementById("hold-hint");
      return hint !== null && !hint.hidden && hint.textContent.includes("Esc を押し続けると終了します");
    }));
    await until("the exit", async () => (await events(page, "exit")).length > 0, 10000);
    const held = Date.now() - start;
    await page.waitForSelector("#menu", { state: "visible" });
    // Let go in the menu, where the game's keys do nothing.
    await page.keyboard.up("Escape");
    assert.ok(held >= kHoldMs, `the game ended only after the key was held (${held} ms)`);
    assert.ok(await page.evaluate(() => document.getElementById("hold-hint").hidden), "the hint is gone");

    // The next game: the same key, held again, ends it again.
    await page.click('.game-tile[data-program="Oltar"]');
    await until("the next game's question", async () => (await events(page, "ready")).length > 1);
    const again = Date.now();
    await page.keyboard.down("Escape");
    await until("the next game's exit", async () => (await events(page, "exit")).length > 1, 10000);
    assert.ok(Date.now() - again >= kHoldMs, "held again for two seconds");
    await page.keyboard.up("Escape");
    await page.waitForSelector("#menu", { state: "visible" });
    // The short presses of H and Ctrl+N opened nothing either.
    assert.deepEqual(await events(page, "dialog"), [], "no dialog opened");
    assert.ok(await page.evaluate(() => document.getElementById("panel").hidden), "no teacher's panel shown");
    assert.deepEqual(errors, [], "no script errors");
  } finally {
    await context.close();
    server.close();
  }
});

await browser.close();
endTest(failures);
