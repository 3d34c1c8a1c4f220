// The page: a start screen (browsers let sound out only after a touch), the
// menu of the six games, and a game on the demo lesson.
//   ?game=Oltar  opens that game at once      ?autostart  skips the start screen
//   ?trace       the trace, one tab-separated line per event, in the console
//                (console.debug) and in window.kanaeTrace
import createKanaeCore from "../kanae-core.js";
import { Core } from "./core.js";
import { listenForInput } from "./input.js";
import { copyIntoCore, listOf } from "./lesson_files.js";
import { Renderer } from "./renderer.js";
import { ReportPanel } from "./report_panel.js";
import { Sound } from "./sound.js";
import { Voice } from "./voice.js";

const kLessonFolder = "/lessons/demo";
const kSoundFolder = "/kanae/sounds";
const kPanelTitles = {
  settings: "設定",
  tasks: "課題えらび",
  input: "入力方法",
  guide: "使い方",
  report: "学習記録",
};
const kDialogKinds = { settings: 0, tasks: 1, input: 2, guide: 3 };

const params = new URLSearchParams(location.search);
const traced = params.has("trace");
const element = (id) => document.getElementById(id);
const canvas = element("game");

let core = null;
let renderer = null;
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
  screenWidth: () => window.innerWidth,
  screenHeight: () => window.innerHeight,
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
  showTeacherPanel: (kind) => showPanel(kind),
  showReport: (path) => reportPanel.show(path),
  gameEnded: () => setTimeout(leaveGame, 0),
};

function show(id) {
  for (const screen of ["loading", "start", "menu"]) element(screen).hidden = screen !== id;
  canvas.hidden = id !== "game";
}

function showPanel(kind) {
  element("panel-title").textContent = kPanelTitles[kind] ?? kind;
  const body = element("panel-body");
  body.replaceChildren();
  if (kind === "guide") {
    const frame = document.createElement("iframe");
    frame.src = "guide/kanae-guide.html";
    frame.title = "かなえの使い方";
    body.append(frame);
  } else {
    body.textContent =
      kind === "report"
        ? "学習記録のレポートは、このページではまだ見られません。パソコン版のかなえで R キーを押すと見られます。"
        : "この設定は、このページではまだ変えられません。パソコン版のかなえで変えてください。";
  }
  element("panel").dataset.kind = kind;
  element("panel").hidden = false;
  element("panel-back").focus();
}

function leavePanel() {
  const panel = element("panel");
  if (panel.hidden) return;
  panel.hidden = true;
  const kind = panel.dataset.kind;
  if (kind === "report") core.call("leave_report");
  else core.call("leave_dialog", kDialogKinds[kind]);
}

function startGame(program) {
  show("game");
  renderer.fit();
  playing = true;
  core.open(program, kLessonFolder, traced);
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

async function boot() {
  core = await Core.load(createKanaeCore, page);
  renderer = new Renderer(canvas, core.fs, (all) => core.call("frame", all ? 1 : 0));
  reportPanel = new ReportPanel(core.fs, () => core.call("leave_report"));
  listenForInput(canvas, core, () => playing);
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

  const [games, lessonFiles, soundFiles, chosenVoice] = await Promise.all([
    fetch("games.json").then((r) => r.json()),
    listOf("lessons/demo/"),
    listOf("sounds/"),
    voice.choose(),
    document.fonts.load(`bold 32px "KanaeGothic"`).catch(() => null),
  ]);
  // The sounds go into the core's file system too: the lesson's check
  // looks there for each letter's file, as on the desktop.
  await Promise.all([
    copyIntoCore(core.fs, "lessons/demo/", lessonFiles, kLessonFolder),
    copyIntoCore(core.fs, "sounds/", soundFiles, kSoundFolder, (name, bytes) => sound.decode(name, bytes)),
  ]);
  buildMenu(games);
  element("lesson-name").textContent = "デモのレッスン";
  element("start-note").textContent = chosenVoice
    ? ""
    : "この端末には日本語の声がありません。ことばは読み上げず、文字の音だけを鳴らします。";

  const program = params.get("game");
  const known = games.some((g) => g.program === program);
  const next = () => (known ? startGame(program) : showMenu());
  // For automation: where the answers are, and (with ?trace only) a way to
  // put a teacher's file into the demo lesson before a game starts.
  window.kanae = { answers: () => renderer.answerAreas(), voice: chosenVoice ? chosenVoice.name : null };
  if (traced) {
    window.kanae.writeLessonFile = (name, text) => core.fs.writeFile(`${kLessonFolder}/${name}`, text);
    window.kanae.makeLessonFolder = (name) => core.fs.mkdir(`${kLessonFolder}/${name}`);
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
      next();
    },
    { once: true },
  );
}

boot().catch((error) => {
  console.error(error);
  element("loading").textContent = `かなえを読みこめませんでした：${error.message}`;
});
