// The page: a start screen (browsers let sound out only after a touch), the
// menu of the six games and of the lessons, and a game on the chosen lesson.
//   ?game=Oltar  opens that game at once      ?autostart  skips the start screen
//   ?trace       the trace, one tab-separated line per event, in the console
//                (console.debug) and in window.kanaeTrace
import createKanaeCore from "../kanae-core.js";
import { Core } from "./core.js";
import { listenForInput } from "./input.js";
import { enterFullScreen, kioskRequested, lockTeacherKeys } from "./kiosk.js";
import { listOf, placeLesson, placeSounds } from "./lesson_files.js";
import { keepForOffline } from "./offline.js";
import { Lessons } from "./lessons.js";
import { LessonStore } from "./lesson_store.js";
import { pageFiles } from "./page_files.js";
import { Renderer } from "./renderer.js";
import { ReportPanel } from "./report_panel.js";
import { Sound } from "./sound.js";
import { setUpTeacher } from "./teacher.js";
import { Voice } from "./voice.js";

const kLessonFolder = "/lessons/demo";
const kSoundFolder = "/kanae/sounds";
const kGuideDialog = 3; // as the core numbers its dialogs
// The rest of the page's files are fetched by then whatever the game shows
// (a message before the first question, say).
const kRestOfFilesLatestMs = 10000;

const params = new URLSearchParams(location.search);
const traced = params.has("trace");
const kiosk = kioskRequested(params);
const element = (id) => document.getElementById(id);
const canvas = element("game");

let core = null;
let renderer = null;
let teacher = null;
let lessons = null;
let starting = false;
let reportPanel = null;
let playing = false;
let messageOpen = false;
let bannerTimer = 0;
const timers = new Map();
const sound = new Sound();
const voice = new Voice(sound, (id) => core.call("speech_end", id));
window.kanaeTrace = [];

// What the core calls (through page_bridge.cpp).
const page = {
  draw: (json) => renderer.show(JSON.parse(json)),
  traceLine: (line) => {
    window.kanaeTrace.push(line);
    console.debug(line);
  },
  playCue: (file) => sound.playCue(file),
  stopCue: () => sound.stopCue(),
  cueRemainingMs: () => sound.cueRemainingMs(),
  waitBegins: () => core.waitBegins(),
  waitEnds: () => core.waitEnds(),
  speak: (id, text, letters) => voice.speak(id, text, letters),
  stopSpeech: () => voice.stop(),
  startTimer: (id, ms) => {
    clearInterval(timers.get(id));
    timers.set(id, setInterval(() => core.callMerged(`tick ${id}`, "tick", id), Math.max(1, ms)));
  },
  stopTimer: (id) => {
    clearInterval(timers.get(id));
    timers.delete(id);
  },
  // The screen the game is laid out for: as it was when the game started.
  screenWidth: () => renderer.layout?.w ?? window.innerWidth,
  screenHeight: () => renderer.layout?.h ?? window.innerHeight,
  showMessage: (caption, text) => {
    messageOpen = true;
    element("message-caption").textContent = caption;
    element("message-text").textContent = text;
    element("message").hidden = false;
    element("message-ok").focus();
  },
  messageOpen: () => messageOpen,
  showBanner: (text) => {
    const banner = element("banner");
    banner.textContent = text;
    banner.hidden = false;
    clearTimeout(bannerTimer);
    bannerTimer = setTimeout(() => (banner.hidden = true), 8000);
  },
  showTeacherPanel: () => showGuide(),
  showReport: (path) => reportPanel.show(path),
  gameEnded: () => setTimeout(leaveGame, 0),
  // The rest of the page's files once the first question is seen whole.
  firstQuestionShown: () => pageFiles.start(),
  showDialog: (json) => teacher.showDialog(json),
  closeDialog: () => teacher.closeDialog(),
};

function show(id) {
  // A page waiting for a touch fetches the rest of its files meanwhile; a
  // game opened at once fetches first what its first question shows.
  if (id !== "game") pageFiles.start();
  for (const screen of ["loading", "start", "menu"]) element(screen).hidden = screen !== id;
  canvas.hidden = id !== "game";
}

// The teacher's guide over the paused game (the dialogs and the report have
// panels of their own).
function showGuide() {
  element("panel-title").textContent = "使い方";
  const frame = document.createElement("iframe");
  frame.src = "guide/kanae-guide.html";
  frame.title = "かなえの使い方";
  element("panel-body").replaceChildren(frame);
  element("panel").hidden = false;
  element("panel-back").focus();
}

function leavePanel() {
  const panel = element("panel");
  if (panel.hidden) return;
  panel.hidden = true;
  core.call("leave_dialog", kGuideDialog);
}

async function startGame(program) {
  if (starting || playing) return; // a second touch while the lesson is read
  starting = true;
  const lessonFolder = await lessons.prepare().finally(() => (starting = false));
  if (lessonFolder === null) return showMenu();
  show("game");
  renderer.startLayout();
  playing = true;
  core.open(program, lessonFolder, traced);
}

function leaveGame() {
  if (!playing) return;
  playing = false;
  for (const id of timers.values()) clearInterval(id);
  timers.clear();
  voice.stop();
  sound.stopCue();
  core.call("close");
  element("panel").hidden = true;
  teacher.reset();
  reportPanel.hide();
  showMenu();
}

function showMenu() {
  show("menu");
}

function buildMenu(games) {
  const list = element("games");
  for (const game of games) {
    const tile = document.createElement("button");
    tile.type = "button";
    tile.className = "game-tile";
    tile.dataset.program = game.program;
    const picture = document.createElement("div");
    picture.className = "picture";
    picture.style.background = game.colour;
    const card = document.createElement("div");
    card.className = "card";
    card.textContent = game.letter;
    picture.append(card);
    const title = document.createElement("div");
    title.className = "title";
    title.textContent = game.title;
    const does = document.createElement("div");
    does.className = "does";
    does.textContent = game.does;
    const teaches = document.createElement("div");
    teaches.className = "teaches";
    teaches.textContent = `（${game.teaches}）`;
    tile.append(picture, title, does, teaches);
    tile.addEventListener("click", () => startGame(game.program));
    list.append(tile);
  }
}

// The piece of the font the page starts with (fonts/fonts.css): the kana and
// the page's own texts. The whole font comes only for a character beyond
// them (the browser asks for it then), so it is not asked for here.
function loadFirstFont() {
  const ours = [...document.fonts].filter((face) => face.family.replace(/"/g, "") === "KanaeGothic");
  const first = ours.find((face) => face.unicodeRange !== "U+0-10FFFF") ?? ours[0];
  return first ? first.load().catch(() => null) : Promise.resolve(null);
}

const kNoVoiceNote = "この端末には日本語の声がありません。ことばは読み上げず、文字の音だけを鳴らします。";

async function boot() {
  let loaded;
  // Nothing is shown before this has settled: a newer version waiting to
  // take over reloads the page first.
  const offlineSettled = keepForOffline(new Promise((resolve) => (loaded = resolve)));
  // What the page needs to start is asked for at once; the core is made
  // meanwhile. The lesson's pictures and the sounds come in behind the game.
  const gamesListed = fetch("games.json").then((r) => r.json());
  const lessonListed = listOf("lessons/demo/");
  const soundsListed = listOf("sounds/");
  const lengthsKnown = fetch("sounds/lengths.json")
    .then((r) => (r.ok ? r.json() : {}))
    .catch(() => ({}));
  const fontLoaded = loadFirstFont();
  const voiceChosen = voice.choose((found) => {
    element("start-note").textContent = found ? "" : kNoVoiceNote;
    if (window.kanae) window.kanae.voice = found ? found.name : null;
  });
  const storeOpened = LessonStore.open();
  core = await Core.load(createKanaeCore, page);
  await offlineSettled;
  renderer = new Renderer(canvas, core.fs, (all) => core.call("frame", all ? 1 : 0));
  if (kiosk) lockTeacherKeys(core.module, () => playing);
  reportPanel = new ReportPanel(core.fs, () => core.call("leave_report"));
  listenForInput(canvas, core, () => playing, (x, y) => renderer.toLayout(x, y));
  teacher = setUpTeacher(canvas, core, () => playing);
  element("message-ok").addEventListener("click", () => {
    element("message").hidden = true;
    messageOpen = false;
  });
  element("panel-back").addEventListener("click", leavePanel);
  window.addEventListener("resize", () => {
    if (!playing) return;
    renderer.fit();
    renderer.draw();
  });

  // The sounds come first: every answer has its cue, and the pictures of
  // the next question are fetched ahead of their turn as it is.
  placeSounds(core.fs, kSoundFolder, "sounds/", await soundsListed, (name, bytes) => sound.decode(name, bytes));
  placeLesson(core.fs, kLessonFolder, "lessons/demo/", await lessonListed);
  sound.knowLengths(await lengthsKnown);
  setTimeout(() => pageFiles.start(), kRestOfFilesLatestMs);
  // The offline copy is fetched once the page has its own.
  pageFiles.allIn().then(loaded);
  const lessonsOpened = Lessons.open({
    fs: core.fs,
    section: element("lessons"),
    nameLabel: element("lesson-name"),
    tell: page.showBanner,
    storeOpened,
  });
  const [games] = await Promise.all([gamesListed, fontLoaded]);
  buildMenu(games);
  lessons = await lessonsOpened;
  core.afterCalls(() => lessons.sync());

  const program = params.get("game");
  const known = games.some((g) => g.program === program);
  const next = () => (known ? startGame(program) : showMenu());
  // For automation: where the answers are, and (with ?trace only) a way to
  // put a teacher's file into the chosen lesson before a game starts.
  // The voice list is not waited for: the first words wait for it instead.
  window.kanae = { answers: () => renderer.answerAreas(), voice: voice.voice ? voice.voice.name : null };
  voiceChosen.then((chosen) => {
    element("start-note").textContent = chosen ? "" : kNoVoiceNote;
    window.kanae.voice = chosen ? chosen.name : null;
  });
  if (traced) {
    window.kanae.writeLessonFile = (name, text) => core.fs.writeFile(`${lessons.folder()}/${name}`, text);
    Object.assign(window.kanae, lessons.testHooks());
    window.kanae.readLessonFile = (name) => Array.from(core.fs.readFile(`${lessons.folder()}/${name}`));
    window.kanae.makeLessonFolder = (name) => core.fs.mkdir(`${lessons.folder()}/${name}`);
  }
  if (params.has("autostart")) {
    next();
    return;
  }
  show("start");
  element("start-button").addEventListener(
    "click",
    () => {
      sound.unlock();
      enterFullScreen(kiosk);
      next();
    },
    { once: true },
  );
}

boot().catch((error) => {
  console.error(error);
  element("loading").textContent = `かなえを読みこめませんでした：${error.message}`;
});
