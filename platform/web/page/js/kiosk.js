// Kiosk on the web. The start screen's touch also asks for full screen (a
// browser may refuse: the page plays as it is). Under the key lock (?kiosk,
// or the page started as an installed app) the teacher's keys act only after
// being held for two seconds, as on the desktop, with the same hint while
// they are held; a game open asks before the page is closed or left, and a
// touch brings full screen back.
//
// What a page cannot stop (leaving full screen, the system's own keys and
// gestures) is listed in the README, with how a school locks a device.

// The teacher's keys: the code the game is told, and what holding it does.
const kTeacherKeys = {
  Escape: { code: 27, hint: "Esc を押し続けると終了します" },
  h: { code: 72, hint: "H を押し続けると設定画面を開きます" },
  n: { code: 78, hint: "N を押し続けると課題選択画面を開きます" },
  s: { code: 83, hint: "S を押し続けると入力方法の設定を開きます" },
  r: { code: 82, hint: "R を押し続けると学習記録を開きます" },
  F1: { code: 112, hint: "F1 を押し続けると使い方を開きます" },
};
const kTickMs = 50;

// Keys typed into a dialog's fields or pressed on its buttons are the
// dialog's, not the game's.
const kNotTheGame = '[role="dialog"], [role="alertdialog"], dialog, input, textarea, select';

function keyName(event) {
  return event.key.length === 1 ? event.key.toLowerCase() : event.key;
}

// With a modifier too: the game takes Ctrl+H as H, so it is held as H.
function teacherKey(event) {
  const name = keyName(event);
  return Object.hasOwn(kTeacherKeys, name) ? { name, ...kTeacherKeys[name] } : null;
}

// Whether the page runs under the key lock: asked for, or started from the
// home screen or the app list (no browser around it to leave by).
export function kioskRequested(params) {
  if (params.has("kiosk")) return true;
  if (navigator.standalone === true) return true; // Safari's home-screen app
  return ["fullscreen", "standalone"].some((mode) => window.matchMedia?.(`(display-mode: ${mode})`).matches);
}

function inFullScreen() {
  return Boolean(document.fullscreenElement || document.webkitFullscreenElement);
}

// Asks for full screen; only from a touch, a click or a key (browsers
// require it). A refusal, or a browser without it, is no error.
export function enterFullScreen(lockKeyboard = false) {
  if (inFullScreen()) return;
  const root = document.documentElement;
  const request = root.requestFullscreen ?? root.webkitRequestFullscreen;
  if (!request) return;
  try {
    Promise.resolve(request.call(root, { navigationUI: "hide" })).then(
      () => {
        // Chromium on a computer: the keys the system would take come to
        // the page, and Esc leaves full screen only when held.
        if (lockKeyboard) navigator.keyboard?.lock?.().catch(() => {});
      },
      () => {},
    );
  } catch {
    // Refused at once (an older browser throws instead).
  }
}

// What the teacher sees while holding a key: its action and a bar that fills.
function makeHint() {
  const hint = document.createElement("div");
  hint.id = "hold-hint";
  hint.hidden = true;
  hint.setAttribute("role", "status");
  hint.style.cssText =
    "position:fixed;left:50%;bottom:6vh;transform:translateX(-50%);z-index:20;pointer-events:none;" +
    "background:rgba(0,0,0,0.8);color:white;padding:0.8em 1.2em 0.6em;border-radius:0.4em;" +
    "font:max(14px,2.5vh) 'KanaeGothic',sans-serif;text-align:center;";
  const text = document.createElement("div");
  const track = document.createElement("div");
  track.style.cssText = "margin-top:0.5em;height:0.35em;background:#5a5a5a;";
  const bar = document.createElement("div");
  bar.style.cssText = "height:100%;width:0;background:white;";
  track.append(bar);
  hint.append(text, track);
  document.body.append(hint);
  return {
    show(words, progress) {
      text.textContent = words;
      bar.style.width = `${Math.round(progress * 100)}%`;
      hint.hidden = false;
    },
    hide() {
      hint.hidden = true;
    },
  };
}

// The key lock on the game. module: the core's module (its kanae_hold_*
// calls keep the hold, the desktop's own rule); isPlaying: a game is open.
// Runs before the game's own key handling and hands it a teacher's key
// only once held long enough, as an ordinary press.
export function lockTeacherKeys(module, isPlaying) {
  const hint = makeHint();
  const hintOf = new Map(Object.values(kTeacherKeys).map((key) => [key.code, key.hint]));
  const nameOf = new Map(Object.entries(kTeacherKeys).map(([name, key]) => [key.code, name]));
  let ticks = 0;
  let passing = false;

  const tick = () => {
    const now = performance.now();
    const action = module._kanae_hold_poll(now);
    const holding = module._kanae_hold_holding();
    if (holding !== 0) {
      hint.show(hintOf.get(holding), module._kanae_hold_progress(now));
      if (!ticks) ticks = setInterval(tick, kTickMs);
    } else {
      hint.hide();
      clearInterval(ticks);
      ticks = 0;
    }
    if (action === 0 || !isPlaying()) return;
    passing = true;
    try {
      window.dispatchEvent(new KeyboardEvent("keydown", { key: nameOf.get(action) }));
    } finally {
      passing = false;
    }
  };

  const forget = () => {
    module._kanae_hold_cancel();
    tick();
  };

  window.addEventListener(
    "keydown",
    (event) => {
      if (passing || !isPlaying()) return;
      if (event.target instanceof Element && event.target.closest(kNotTheGame)) return;
      const key = teacherKey(event);
      if (key === null) return;
      event.preventDefault();
      event.stopImmediatePropagation();
      module._kanae_hold_press(key.code, performance.now(), event.repeat ? 1 : 0, event.timeStamp);
      tick();
    },
    true,
  );
  // Every release counts, in a game or not: a key held until its game ended
  // and let go in the menu must not stay down for the next game.
  window.addEventListener(
    "keyup",
    (event) => {
      const key = teacherKey(event);
      if (key === null) return;
      module._kanae_hold_release(key.code, performance.now(), 0, event.timeStamp);
      tick();
    },
    true,
  );
  window.addEventListener("blur", forget);
  document.addEventListener("visibilitychange", () => document.hidden && forget());

  // A game open: closing the tab or window, or going back from the page,
  // asks first (the browser's own question; it cannot be worded).
  window.addEventListener("beforeunload", (event) => {
    if (!isPlaying()) return;
    event.preventDefault();
    event.returnValue = "";
  });
  // Full screen left (a swipe, Esc): the next touch asks for it again.
  window.addEventListener("click", () => enterFullScreen(true), true);
}
