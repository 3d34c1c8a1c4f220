#!/usr/bin/env node
// The page's speed and size in Debian's headless chromium on localhost.
//
//   bench/web/run.sh [options]          serves build-web/page and runs this (builds nothing)
//   node bench/web/page_bench.mjs --url http://127.0.0.1:PORT/ [options]
//
// Options:
//   --runs N        page loads per game and CPU speed for the start time (5)
//   --touches N     answers touched for the touch-to-cue time (10)
//   --questions N   questions answered before the tab's memory is read (100; 0 skips it)
//   --all-games     the start time of every game, not only Oltar and the slowest
//   --touch-games A,B  the games whose touches are timed at full speed (all but
//                   Pemble, whose letters jump away from where they were seen)
//   --page DIR      the page's folder, for its sizes (build-web/page)
//   --plain DIR     the page linked without ASYNCIFY, for the size it costs
//                   (build-web-noasync; made by bench/web/asyncify_cost.sh)
//
// What it prints:
//  1. Navigation start to the first question drawn with all its pictures (the
//     trace's "ready"), median of N fresh loads (empty cache), at full speed and
//     with the CPU slowed 4x (DevTools throttling), with where the time went;
//     and of N later visits, started from the page's offline copy.
//  2. A touch (touchscreen tap) to its cue: from the pointer event's dispatch on
//     the page to the cue's Web Audio start, in-page with performance.now(); the
//     core's input queue is included. Also how late the game goes on after the
//     cue has sounded (the timer, and the core's rewind from its wait).
//  3. The page's own code (core wasm + its JS + the page's JS, CSS and HTML), raw
//     and gzip -9; fonts, sounds, lesson and guide apart.
//  4. The tab after N questions answered (each by touching the answers in
//     order until the right one, as soon as the game takes a touch): the
//     renderer process's resident memory, the JS heap and the wasm memory.
//  5. With --plain: the wasm and JS linked with and without ASYNCIFY; and, in
//     every run, the time the core spends unwinding its stack into a buffer
//     when it waits for a cue and winding it back when the wait is over.
//
// Nothing in the page is changed for measuring: an init script, run before the
// page's own, notes performance.now() as each trace line is kept, as each Web
// Audio source starts, as each pointer event begins its dispatch, and around
// the core's four unwind/rewind calls (found by name in kanae-core.js).
// Answers are touched once the game is asking, says nothing and the core
// waits for no cue; a touch while it says its prompt is no answer in the games.
import { readdirSync, readFileSync, statSync, existsSync } from "node:fs";
import { join, dirname } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";
import { cpus, loadavg } from "node:os";

const here = dirname(fileURLToPath(import.meta.url));
const source = join(here, "..", "..");
const { chromium } = await import(join(source, "tests/web/node_modules/playwright-core/index.mjs"));

const kGames = ["Oltar", "Pemble", "Suvan", "Dabrel", "Quoma", "Vintal"];

function option(name, fallback) {
  const i = process.argv.indexOf(`--${name}`);
  return i >= 0 && i + 1 < process.argv.length ? process.argv[i + 1] : fallback;
}
const flag = (name) => process.argv.includes(`--${name}`);
const url = option("url", "http://127.0.0.1:8080/");
const runs = Number(option("runs", 5));
const touches = Number(option("touches", 10));
const questions = Number(option("questions", 100));
const touchGames = option("touch-games", "Oltar,Suvan,Dabrel,Quoma,Vintal").split(",");
const pageDir = option("page", join(source, "build-web/page"));
const plainDir = option("plain", join(source, "build-web-noasync"));

const median = (xs) => {
  if (xs.length === 0) return NaN;
  const s = [...xs].sort((a, b) => a - b);
  const m = Math.floor(s.length / 2);
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};
const max = (xs) => Math.max(...xs);
const ms = (x) => (Number.isFinite(x) ? `${Math.round(x)} ms` : "-");
const ms1 = (x) => (Number.isFinite(x) ? `${x.toFixed(1)} ms` : "-");
const kb = (x) => `${(x / 1024).toFixed(0)} KB`;
const mb = (x) => `${(x / 1024 / 1024).toFixed(1)} MB`;
const verdict = (ok) => (ok ? "ok" : "OVER");

function table(rows) {
  const widths = rows[0].map((_, c) => Math.max(...rows.map((r) => String(r[c]).length)));
  const line = (r) => r.map((cell, c) => String(cell).padEnd(widths[c])).join("  ").trimEnd();
  console.log(line(rows[0]));
  console.log(widths.map((w) => "-".repeat(w)).join("  "));
  for (const r of rows.slice(1)) console.log(line(r));
  console.log();
}

// Runs in the page before its own scripts.
function instrument(asyncifyNames) {
  const bench = { traceTimes: [], sources: [], pointers: [], voices: [], wasm: null };
  window.kanaeBench = bench;
  // Room for every file of the page (the browser keeps 250 by default).
  performance.setResourceTimingBufferSize(2000);
  // The page sets window.kanaeTrace to an array and pushes each line to it.
  let kept;
  Object.defineProperty(window, "kanaeTrace", {
    configurable: true,
    get: () => kept,
    set: (lines) => {
      kept = lines;
      const push = lines.push;
      lines.push = function (...added) {
        for (let i = 0; i < added.length; i++) bench.traceTimes.push(performance.now());
        return push.apply(this, added);
      };
    },
  });
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    bench.sources.push({ at: performance.now(), seconds: this.buffer ? this.buffer.duration : 0 });
    return start.apply(this, args);
  };
  for (const type of ["pointerdown", "pointerup"]) {
    window.addEventListener(type, (e) => bench.pointers.push({ type, at: performance.now(), stamp: e.timeStamp }), {
      capture: true,
    });
  }
  // When the page shows the game's canvas: the core is asked to open the game.
  document.addEventListener("DOMContentLoaded", () => {
    const canvas = document.getElementById("game");
    if (!canvas) return;
    new MutationObserver(() => {
      if (!canvas.hidden && bench.gameShown === undefined) bench.gameShown = performance.now();
    }).observe(canvas, { attributes: true, attributeFilter: ["hidden"] });
  });
  if (window.speechSynthesis) {
    const getVoices = speechSynthesis.getVoices.bind(speechSynthesis);
    speechSynthesis.getVoices = () => {
      bench.voices.push(performance.now());
      return getVoices();
    };
  }
  // The core's memory, and its waits: the four calls by which the page's
  // runtime unwinds the core's stack into a buffer when it waits and winds
  // it back when the wait is over (named as the minified module names them).
  bench.waits = [];
  const keep = (result) => {
    if (bench.coreMade === undefined) bench.coreMade = performance.now();
    const instance = result.instance ?? result;
    const exports = { ...instance.exports };
    for (const value of Object.values(exports)) {
      if (value instanceof WebAssembly.Memory) bench.wasm = value;
    }
    const names = asyncifyNames;
    if (!names || !names.every((n) => typeof exports[n] === "function")) return result;
    const [startUnwind, stopUnwind, startRewind, stopRewind] = names.map((n) => exports[n]);
    let wait = null;
    exports[names[0]] = (data) => {
      bench.waiting = true;
      wait = { data, unwind: performance.now() };
      return startUnwind(data);
    };
    exports[names[1]] = () => {
      const result = stopUnwind();
      if (wait) {
        wait.unwound = performance.now();
        // The buffer: its next free byte, its end, then the saved frames.
        const words = new Int32Array(bench.wasm.buffer);
        wait.bytes = words[wait.data >> 2] - (wait.data + 12);
        wait.capacity = words[(wait.data >> 2) + 1] - (wait.data + 12);
      }
      return result;
    };
    exports[names[2]] = (data) => {
      if (wait) wait.rewind = performance.now();
      return startRewind(data);
    };
    exports[names[3]] = () => {
      const result = stopRewind();
      bench.waiting = false;
      if (wait) {
        wait.rewound = performance.now();
        bench.waits.push(wait);
        wait = null;
      }
      return result;
    };
    return result.instance ? { module: result.module, instance: { exports } } : { exports };
  };
  for (const name of ["instantiate", "instantiateStreaming"]) {
    const original = WebAssembly[name];
    WebAssembly[name] = (...args) => original.apply(WebAssembly, args).then(keep);
  }
}

// The minified names under which the core exports its four unwind/rewind calls.
async function findAsyncifyNames() {
  try {
    const text = await (await fetch(`${url}kanae-core.js`)).text();
    const names = ["start_unwind", "stop_unwind", "start_rewind", "stop_rewind"].map(
      (call) => text.match(new RegExp(`_asyncify_${call}=Module\\["asm"\\]\\["(\\w+)"\\]`))?.[1] ??
        text.match(new RegExp(`_asyncify_${call}"\\]=Module\\["asm"\\]\\["(\\w+)"\\]`))?.[1],
    );
    return names.every(Boolean) ? names : null;
  } catch {
    return null;
  }
}
const asyncifyNames = await findAsyncifyNames();

const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: [
    "--no-sandbox",
    "--disable-gpu",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--no-first-run",
    // Cues start without the start screen's touch, so their start can be seen.
    "--autoplay-policy=no-user-gesture-required",
  ],
});

// voicesAtOnce: the browser's voice list is known at once (as where a voice is
// installed), instead of never, as in headless chromium here.
// laterVisit: the page has been visited once before in this browser and its
// offline copy kept (the service worker active): it starts from that copy.
// A school's network: 20 Mbit/s down, a 40 ms round trip.
const kSchoolNetwork = { offline: false, latency: 40, downloadThroughput: 20e6 / 8, uploadThroughput: 5e6 / 8 };

// network: the network's conditions for the page (the machine's own when absent).
async function openPage(game, throttle, voicesAtOnce = false, laterVisit = false, network = null) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, hasTouch: true });
  if (laterVisit) {
    const first = await context.newPage();
    await first.goto(`${url}?game=${game}&autostart`);
    await first.waitForFunction(
      async () => (await navigator.serviceWorker.getRegistration())?.active?.state === "activated",
      null,
      { timeout: 60000, polling: 100 },
    );
    await first.close();
  }
  const page = await context.newPage();
  await page.addInitScript(instrument, asyncifyNames);
  if (voicesAtOnce) {
    await page.addInitScript(() => {
      const listen = speechSynthesis.addEventListener.bind(speechSynthesis);
      speechSynthesis.addEventListener = (type, listener, options) => {
        if (type === "voiceschanged") setTimeout(() => listener(new Event(type)), 0);
        else listen(type, listener, options);
      };
    });
  }
  const cdp = await context.newCDPSession(page);
  if (throttle > 1) await cdp.send("Emulation.setCPUThrottlingRate", { rate: throttle });
  if (network) {
    await cdp.send("Network.enable");
    await cdp.send("Network.emulateNetworkConditions", network);
  }
  await page.goto(`${url}?game=${game}&autostart&trace`);
  return { context, page, cdp };
}

const traceOf = (page) =>
  page.evaluate(() =>
    (window.kanaeTrace ?? []).map((line, i) => {
      const [, event, ...details] = line.split("\t");
      return { at: window.kanaeBench.traceTimes[i], event, details };
    }),
  );

async function waitForEvent(page, event, count, timeout) {
  await page.waitForFunction(
    ([e, n]) => (window.kanaeTrace ?? []).filter((l) => l.split("\t")[1] === e).length >= n,
    [event, count],
    { timeout, polling: 5 },
  );
}

// ---- 1. start ---------------------------------------------------------------

async function startOnce(game, throttle, voicesAtOnce, laterVisit, network) {
  const { context, page } = await openPage(game, throttle, voicesAtOnce, laterVisit, network);
  try {
    await waitForEvent(page, "ready", 1, 60000);
    const trace = await traceOf(page);
    const at = (e) => trace.find((t) => t.event === e)?.at ?? NaN;
    const seen = await page.evaluate((ready) => {
      // The pictures fetched before the first question was drawn whole: its own.
      const pictures = performance
        .getEntriesByType("resource")
        .filter((e) => /\/lessons\//.test(e.name) && !e.name.endsWith(".json") && e.responseEnd <= ready);
      const entries = [...performance.getEntriesByType("navigation"), ...performance.getEntriesByType("resource")];
      return {
        // What came over the network (or from the offline copy) by then.
        bytes: entries.filter((e) => e.responseEnd <= ready).reduce((sum, e) => sum + (e.encodedBodySize || 0), 0),
        coreUp: window.kanaeBench.coreMade ?? NaN,
        voices: window.kanaeBench.voices.length ? Math.max(...window.kanaeBench.voices) : NaN,
        filesIn: pictures.length ? Math.max(...pictures.map((e) => e.responseEnd)) : NaN,
        gameShown: window.kanaeBench.gameShown ?? NaN,
      };
    }, at("ready"));
    return { ...seen, question: at("question"), ready: at("ready") };
  } finally {
    await context.close();
  }
}

async function startTimes(game, throttle, n, voicesAtOnce = false, laterVisit = false, network = null) {
  const all = [];
  for (let i = 0; i < n; i++) all.push(await startOnce(game, throttle, voicesAtOnce, laterVisit, network));
  const pick = (k) => median(all.map((r) => r[k]));
  const label = voicesAtOnce ? `${game}, voices at once` : laterVisit ? `${game}, a later visit`
    : network ? `${game}, 20 Mbit/s` : game;
  return { game: label, throttle, network: network !== null, n, ready: pick("ready"), coreUp: pick("coreUp"), voices: pick("voices"),
    filesIn: pick("filesIn"), bytes: pick("bytes"), gameShown: pick("gameShown"), question: pick("question"), worst: max(all.map((r) => r.ready)) };
}

// ---- answering --------------------------------------------------------------

// True once the game is asking, says nothing and the core waits for no cue.
const kIdle = () => {
  const events = (window.kanaeTrace ?? []).map((l) => l.split("\t")[1]);
  const quiet = events.lastIndexOf("speak") < events.lastIndexOf("speech-end") || !events.includes("speak");
  return quiet && !window.kanaeBench.waiting && window.kanae && window.kanae.answers().length > 0;
};

// Touches the answers shown now, one after another, until one is right; a
// wrong one may bring the question back with its answers laid out anew, so
// the answers are looked at again after each. Throws when none is right.
async function answerQuestion(page, onTouch) {
  const menu = await page.locator("#menu").isVisible();
  if (menu) {
    // The lesson ended and the page went back to its menu: the game again.
    const game = new URL(page.url()).searchParams.get("game");
    await page.locator(`button[data-program="${game}"]`).click();
  }
  const tried = new Set();
  for (;;) {
    await page.waitForFunction(kIdle, null, { timeout: 30000, polling: 5 });
    const answers = await page.evaluate(() => window.kanae.answers());
    const area = answers.find((a) => !tried.has(a.picture ?? a.caption ?? a.name));
    if (!area) throw new Error("no answer was right");
    tried.add(area.picture ?? area.caption ?? area.name);
    const before = await page.evaluate(() => window.kanaeTrace.filter((l) => l.split("\t")[1] === "answer").length);
    await page.touchscreen.tap(area.x + area.w / 2, area.y + area.h / 2);
    await waitForEvent(page, "answer", before + 1, 15000);
    const trace = await traceOf(page);
    const answer = trace.filter((t) => t.event === "answer").at(-1);
    if (onTouch) await onTouch(trace, answer);
    if (answer.details[1] === "right") return;
  }
}

// ---- 2. touch to cue ---------------------------------------------------------

async function touchToCue(game, throttle, n) {
  const { context, page } = await openPage(game, throttle);
  const toCue = [];
  const fromStamp = [];
  const late = [];
  const waits = [];
  try {
    await waitForEvent(page, "ready", 1, 60000);
    // The pack comes in behind the first question; a cue before its file
    // is in keeps its time silently and has no start to time. (Opened
    // from the start screen, as a class opens it, the pack comes in while
    // the start screen waits for its touch.)
    await page.waitForFunction(
      async () => {
        const pack = await (await fetch("sounds/index.json")).json();
        const wavs = pack.filter((name) => name.endsWith(".wav")).length;
        return performance.getEntriesByType("resource").filter((e) => /\/sounds\/.*\.wav$/.test(e.name) && e.responseEnd > 0).length >= wavs;
      },
      null,
      { timeout: 60000, polling: 200 },
    );
    while (toCue.length < n) {
      await answerQuestion(page, async (trace, answer) => {
        // The cue the touch started, and how late its end let the game go on.
        await waitForEvent(page, "cue-end", trace.filter((t) => t.event === "cue-end").length + 1, 15000).catch(() => {});
        const after = await traceOf(page);
        const bench = await page.evaluate(() => window.kanaeBench);
        const touch = bench.pointers.filter((p) => p.type === "pointerup").at(-1);
        const cue = after.find((t) => t.event === "cue" && t.at >= touch.at);
        if (!cue) return;
        const source = bench.sources.find((s) => s.at >= cue.at);
        if (!source) return;
        toCue.push(source.at - touch.at);
        fromStamp.push(source.at - touch.stamp);
        const end = after.find((t) => t.event === "cue-end" && t.at >= cue.at);
        if (end) late.push(end.at - (source.at + source.seconds * 1000));
      });
    }
    waits.push(...(await page.evaluate(() => window.kanaeBench.waits)));
  } finally {
    await context.close();
  }
  return { throttle, n: toCue.length, toCue, fromStamp, late, waits };
}

// ---- 4. memory ---------------------------------------------------------------

async function rendererMemory(cdpBrowser) {
  const { processInfo } = await cdpBrowser.send("SystemInfo.getProcessInfo");
  let best = null;
  for (const p of processInfo.filter((p) => p.type === "renderer")) {
    let status;
    try {
      status = readFileSync(`/proc/${p.id}/status`, "utf8");
    } catch {
      continue;
    }
    const kbOf = (key) => Number((status.match(new RegExp(`^${key}:\\s+(\\d+)`, "m")) ?? [0, NaN])[1]) * 1024;
    let pss = NaN;
    try {
      pss = Number(readFileSync(`/proc/${p.id}/smaps_rollup`, "utf8").match(/^Pss:\s+(\d+)/m)[1]) * 1024;
    } catch {}
    // Private: what chromium's task manager shows as the tab's memory footprint.
    const seen = { pid: p.id, rss: kbOf("VmRSS"), hwm: kbOf("VmHWM"), pss, own: kbOf("RssAnon") + kbOf("VmSwap") };
    if (!best || seen.rss > best.rss) best = seen;
  }
  return best;
}

async function pageMemory(page, cdp) {
  await cdp.send("Performance.enable");
  const { metrics } = await cdp.send("Performance.getMetrics");
  const metric = (name) => metrics.find((m) => m.name === name)?.value ?? NaN;
  const wasm = await page.evaluate(() => window.kanaeBench.wasm?.buffer.byteLength ?? NaN);
  return { heapUsed: metric("JSHeapUsedSize"), heapTotal: metric("JSHeapTotalSize"), wasm };
}

// The tab's memory once its garbage is collected, so that a reading shows
// what the page holds, not what it has not yet let go.
async function tabMemory(cdpBrowser, page, cdp) {
  await cdp.send("HeapProfiler.collectGarbage");
  return { ...(await rendererMemory(cdpBrowser)), ...(await pageMemory(page, cdp)) };
}

// Readings at the first question and after each quarter of n questions.
async function memoryAfter(game, n) {
  const cdpBrowser = await browser.newBrowserCDPSession();
  // A tab with a tiny page from the same server, for comparison.
  const blank = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  const blankPage = await blank.newPage();
  await blankPage.goto(`${url}icon.svg`);
  const empty = await rendererMemory(cdpBrowser);
  await blank.close();
  const { context, page, cdp } = await openPage(game, 1);
  try {
    await waitForEvent(page, "ready", 1, 60000);
    const readings = [{ questions: 0, ...(await tabMemory(cdpBrowser, page, cdp)) }];
    const started = Date.now();
    const quarter = Math.max(1, Math.round(n / 4));
    for (let q = 1; q <= n; q++) {
      await answerQuestion(page);
      if (q % quarter === 0 || q === n) readings.push({ questions: q, ...(await tabMemory(cdpBrowser, page, cdp)) });
    }
    const seconds = (Date.now() - started) / 1000;
    const waits = await page.evaluate(() => window.kanaeBench.waits);
    return { empty, readings: readings.filter((r, i) => i === 0 || r.questions !== readings[i - 1].questions), seconds, n, waits };
  } finally {
    await context.close();
  }
}

// ---- 3. and 5. sizes ---------------------------------------------------------

function filesUnder(dir) {
  if (!existsSync(dir)) return [];
  return readdirSync(dir, { recursive: true })
    .map((name) => join(dir, name))
    .filter((path) => statSync(path).isFile());
}

function sizeOf(paths) {
  let raw = 0;
  let gzip = 0;
  for (const path of paths) {
    const bytes = readFileSync(path);
    raw += bytes.length;
    gzip += gzipSync(bytes, { level: 9 }).length;
  }
  return { raw, gzip, files: paths.length };
}

// ---- the run -----------------------------------------------------------------

console.log(`Kanae page bench: ${url} in ${(await browser.version())} headless, ${new Date().toISOString()}`);
console.log(`(runs ${runs}, touches ${touches}, questions ${questions}; ${cpus().length} cores, load average ${loadavg()
  .map((x) => x.toFixed(1))
  .join(" ")} at the start: times on a busy machine are longer)\n`);

console.log("1. Navigation start to the first question drawn with its picture (trace 'ready'), median of fresh loads");
const games = [];
const oneEach = [];
for (const game of kGames) oneEach.push(await startTimes(game, 1, flag("all-games") ? runs : 1));
const slowest = oneEach.reduce((a, b) => (b.ready > a.ready ? b : a)).game;
const chosen = flag("all-games") ? kGames : [...new Set(["Oltar", slowest])];
for (const game of chosen) {
  games.push(flag("all-games") ? oneEach.find((r) => r.game === game) : await startTimes(game, 1, runs));
  games.push(await startTimes(game, 4, runs));
}
games.push(await startTimes("Oltar", 1, runs, true));
games.push(await startTimes("Oltar", 4, runs, true));
games.push(await startTimes("Oltar", 1, runs, false, true));
games.push(await startTimes("Oltar", 4, runs, false, true));
games.push(await startTimes("Oltar", 1, runs, false, false, kSchoolNetwork));
table([
  ["game", "CPU", "runs", "core up", "voices known", "game shown", "question", "pictures in", "ready (median)", "worst", "fetched by then", "target", ""],
  ...games.map((r) => [
    r.game, r.throttle === 1 ? "1x" : `${r.throttle}x slower`, r.n, ms(r.coreUp), ms(r.voices), ms(r.gameShown),
    ms(r.question), ms(r.filesIn), ms(r.ready), ms(r.worst), `${Math.round(r.bytes / 1024)} KB`,
    // The targets are for localhost; a slower network is shown for what it is.
    ...(r.network ? ["-", ""] : [r.throttle === 1 ? "< 1000 ms" : "< 2000 ms", verdict(r.ready < (r.throttle === 1 ? 1000 : 2000))]),
  ]),
]);
if (!flag("all-games")) {
  console.log(`one load of each game at 1x: ${oneEach.map((r) => `${r.game} ${ms(r.ready)}`).join(", ")}; slowest ${slowest}`);
  console.log();
}
console.log("core up: the core's wasm instantiated; voices known: the page's last look for a Japanese voice");
console.log("(the game does not wait for it: its first words do); game shown: the lesson's and the pack's names");
console.log("are in, the page shows the game and asks the core to open it; question: the core's first question;");
console.log("pictures in: the first question's pictures fetched (the rest of the lesson and the sounds come");
console.log("after 'ready'). Headless chromium here never lists a voice. 'voices at once': the same page where");
console.log("the browser's voice list is known at once (the page then uses the letter sounds all the same).");
console.log("'a later visit': the page opened again where it was visited before; it starts from its offline");
console.log("copy (the service worker's cache) instead of the network. '20 Mbit/s': a first visit over a");
console.log("school's network (DevTools' network emulation: 20 Mbit/s down, 40 ms round trip).\n");

console.log("2. A touch to its cue: pointer event's dispatch on the page to the cue's Web Audio start");
const touchRows = [];
const waitsAt = { 1: [], 4: [] };
for (const [game, throttle] of [...touchGames.map((g) => [g, 1]), ["Oltar", 4]]) {
  let r;
  try {
    r = await touchToCue(game, throttle, touches);
  } catch (error) {
    touchRows.push([game, throttle === 1 ? "1x" : `${throttle}x slower`, `not measured: ${error.message.split("\n")[0]}`]);
    continue;
  }
  waitsAt[throttle].push(...r.waits);
  touchRows.push([
    game, throttle === 1 ? "1x" : `${throttle}x slower`, r.n, ms1(median(r.toCue)), ms1(max(r.toCue)), ms1(median(r.fromStamp)),
    ms1(median(r.late)), ms1(max(r.late)), "< 30 ms", verdict(median(r.toCue) < 30),
  ]);
}
table([
  ["game", "CPU", "touches", "dispatch to cue (median)", "max", "input stamp to cue", "cue end to game going on", "max", "target", ""],
  ...touchRows,
]);
console.log("input stamp: from the browser's time stamp of the touch (its input queue included). The game going");
console.log("on: its 'cue-end' after the cue has sounded, i.e. the wait's timer, its lateness and the core's");
console.log("rewind from the wait.\n");

console.log("3. Size of the page's own code (gzip: node's zlib, level 9)");
const own = ["kanae-core.wasm", "kanae-core.js", "kanae.css", "index.html"].map((f) => join(pageDir, f));
const ownJs = filesUnder(join(pageDir, "js")).filter((p) => p.endsWith(".js"));
const sizeRows = [
  ["kanae-core.wasm", sizeOf([own[0]])],
  ["kanae-core.js", sizeOf([own[1]])],
  ["js/*.js", sizeOf(ownJs)],
  ["kanae.css + index.html", sizeOf(own.slice(2))],
];
const ownTotal = sizeOf([...own, ...ownJs]);
const apart = ["fonts", "sounds", "lessons", "guide"].map((d) => [`${d}/ (apart)`, sizeOf(filesUnder(join(pageDir, d)))]);
table([
  ["what", "files", "raw", "gzip -9", "target", ""],
  ...sizeRows.map(([what, s]) => [what, s.files, kb(s.raw), kb(s.gzip), "", ""]),
  ["the page's own code", ownTotal.files, kb(ownTotal.raw), kb(ownTotal.gzip), "< 1024 KB gzip", verdict(ownTotal.gzip < 1024 * 1024)],
  ...apart.map(([what, s]) => [what, s.files, kb(s.raw), kb(s.gzip), "", ""]),
]);

if (questions > 0) {
  console.log(`4. The tab after ${questions} questions answered (Oltar, touches in order until right)`);
  const m = await memoryAfter("Oltar", questions);
  waitsAt[1].push(...m.waits);
  const row = (when, r, heap) => [when, mb(r.own), mb(r.rss), mb(r.hwm), mb(r.pss),
    heap ? `${mb(r.heapUsed)} / ${mb(r.heapTotal)}` : "-", heap ? mb(r.wasm) : "-"];
  const last = m.readings.at(-1);
  table([
    ["when", "private", "RSS", "peak RSS", "PSS", "JS heap used / total", "wasm memory", "target", ""],
    [...row("a tiny page (for comparison)", m.empty, false), "", ""],
    ...m.readings.slice(0, -1).map((r) => [...row(r.questions === 0 ? "first question" : `after ${r.questions} questions`, r, true), "", ""]),
    [...row(`after ${last.questions} questions`, last, true), "< 150 MB", verdict(last.own < 150 * 1024 * 1024)],
  ]);
  console.log(`${m.n} questions took ${m.seconds.toFixed(0)} s (${(m.seconds / m.n).toFixed(1)} s each: the game's cues, praise and pauses).`);
  console.log("The tab's renderer process (the largest renderer, when a spare one runs), from /proc: private is");
  console.log("RssAnon + VmSwap, what chromium's task manager shows as the tab's memory footprint and what the");
  console.log("target is held to; RSS adds the shared libraries and fonts mapped from files. Each reading is");
  console.log("taken after a full garbage collection.\n");
}

console.log("5. The cost of ASYNCIFY (the core's cue waits hand the event loop back)");
const wasmWith = sizeOf([join(pageDir, "kanae-core.wasm")]);
const jsWith = sizeOf([join(pageDir, "kanae-core.js")]);
if (existsSync(join(plainDir, "kanae-core.wasm"))) {
  const wasmWithout = sizeOf([join(plainDir, "kanae-core.wasm")]);
  const jsWithout = sizeOf([join(plainDir, "kanae-core.js")]);
  const pct = (a, b) => `+${(((a - b) / b) * 100).toFixed(0)}%`;
  table([
    ["linked", "wasm raw", "wasm gzip", "JS raw", "JS gzip"],
    ["with -sASYNCIFY (the page)", kb(wasmWith.raw), kb(wasmWith.gzip), kb(jsWith.raw), kb(jsWith.gzip)],
    ["without (does not play)", kb(wasmWithout.raw), kb(wasmWithout.gzip), kb(jsWithout.raw), kb(jsWithout.gzip)],
    ["ASYNCIFY costs", `${kb(wasmWith.raw - wasmWithout.raw)} ${pct(wasmWith.raw, wasmWithout.raw)}`,
      `${kb(wasmWith.gzip - wasmWithout.gzip)} ${pct(wasmWith.gzip, wasmWithout.gzip)}`,
      kb(jsWith.raw - jsWithout.raw), kb(jsWith.gzip - jsWithout.gzip)],
  ]);
} else {
  console.log(`(no ${plainDir}: bench/web/asyncify_cost.sh links the page without ASYNCIFY there)\n`);
}

const us = (x) => (Number.isFinite(x) ? `${(x * 1000).toFixed(0)} µs` : "-");
const waitRows = [];
for (const throttle of [1, 4]) {
  const waits = waitsAt[throttle].filter((w) => w.rewound !== undefined);
  if (waits.length === 0) continue;
  const unwind = waits.map((w) => w.unwound - w.unwind);
  const rewind = waits.map((w) => w.rewound - w.rewind);
  const mean = (xs) => xs.reduce((a, b) => a + b, 0) / xs.length;
  waitRows.push([throttle === 1 ? "1x" : `${throttle}x slower`, waits.length, us(mean(unwind)), us(max(unwind)),
    us(mean(rewind)), us(max(rewind)), `${max(waits.map((w) => w.bytes))} of ${waits[0].capacity} bytes`]);
}
if (waitRows.length > 0) {
  table([["CPU", "waits seen", "unwind (mean)", "max", "rewind (mean)", "max", "saved stack (largest)"], ...waitRows]);
  console.log("unwind: from the runtime starting to unwind at the sleep to the core's call having returned to the");
  console.log("page; rewind: from the timer's wake-up starting the rewind to the core back at the sleep. Seen in");
  console.log("the page's own core by wrapping its four asyncify exports; the saved stack must fit its buffer.");
  console.log("performance.now() ticks in 100 µs steps in a page that is not cross-origin isolated: single");
  console.log("waits read 0 or 100 µs, the mean over many is the figure to take.\n");
} else {
  console.log("(the core's unwind/rewind calls were not found in kanae-core.js: wait times not measured)\n");
}

await browser.close();
