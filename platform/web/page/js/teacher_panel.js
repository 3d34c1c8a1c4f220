// The teacher's panel for a screen without a keyboard: a finger (or the
// mouse's main button) held still on the game's top-left corner for two
// seconds opens a panel with the teacher's five keys. A shorter press there
// does nothing, and never reaches the game: a child's tap is no answer and no
// way into the teacher's side.
import { make } from "./elements.js";

export const kHoldMs = 2000;
// The ring shows only once a press has lasted this long: a child's tap shows
// nothing, so the corner does not become a game of its own.
const kRingDelayMs = 300;
// How far a held finger may wander (CSS px) and still be a hold.
const kDriftPx = 40;

// Each action is the teacher's key, handed to the core as the key itself.
export const kTeacherActions = [
  { label: "設定", key: 72, keyName: "H" },
  { label: "課題えらび", key: 78, keyName: "N" },
  { label: "入力方法", key: 83, keyName: "S" },
  { label: "学習記録", key: 82, keyName: "R" },
  { label: "おわる", key: 27, keyName: "Esc" },
];

// The corner's side in CSS px: as large as it can be without reaching any
// game's answers, from 48 (a finger's target) to 96. The answer nearest the
// corner is the card-picking game's first card, a sixteenth of the width in
// and a twentieth of the height down: a corner up to the larger of the two
// stays clear of it (64 px on a 1024 x 768 tablet, 51 standing up, 85 on a
// 1366 x 768 Chromebook). Only on a phone does 48 reach a few pixels into
// that card's corner, which still answers everywhere else.
export function cornerSide(width = window.innerWidth, height = window.innerHeight) {
  return Math.min(96, Math.max(48, Math.floor(Math.max(width / 16, height / 20))));
}

export class TeacherPanel {
  // sendKey(code): the key's action in the core. isPlaying(): a game is on screen.
  constructor(canvas, sendKey, isPlaying) {
    this.canvas = canvas;
    this.sendKey = sendKey;
    this.isPlaying = isPlaying;
    this.hold = null; // { id, x, y, start, fired, timer, ringTimer, frame }
    this.buildRing();
    this.buildPanel();
    // Capturing on the window: the game's own listeners on the canvas never
    // see a press that starts a hold, nor anything of that pointer after it.
    for (const type of ["pointerdown", "pointermove", "pointerup", "pointercancel"]) {
      window.addEventListener(type, (event) => this.onPointer(type, event), true);
    }
    window.addEventListener("keydown", (event) => this.onKey(event), true);
  }

  get open() {
    return !this.overlay.hidden;
  }

  buildRing() {
    // Where a hold starts, unseen: a child is not to be drawn to it.
    this.corner = make("div", "teacher-corner");
    this.corner.setAttribute("aria-hidden", "true");
    document.body.append(this.corner);
    const place = () => {
      const side = `${cornerSide()}px`;
      this.corner.style.width = side;
      this.corner.style.height = side;
    };
    place();
    window.addEventListener("resize", place);
    this.ring = make("div", "hold-ring");
    this.ring.hidden = true;
    this.ring.setAttribute("aria-hidden", "true");
    document.body.append(this.ring);
  }

  buildPanel() {
    this.overlay = make("div", "overlay teacher-panel");
    this.overlay.id = "teacher-panel";
    this.overlay.hidden = true;
    this.overlay.setAttribute("role", "dialog");
    this.overlay.setAttribute("aria-modal", "true");
    this.overlay.setAttribute("aria-label", "先生のメニュー");
    const box = make("div", "box");
    box.append(make("h2", "", "先生のメニュー"));
    const actions = make("div", "teacher-actions");
    for (const action of kTeacherActions) {
      const button = make("button", "teacher-action");
      button.type = "button";
      button.dataset.key = String(action.key);
      button.append(make("span", "label", action.label), make("span", "key", `（${action.keyName} キー）`));
      button.addEventListener("click", () => {
        this.close();
        this.sendKey(action.key);
      });
      actions.append(button);
    }
    const back = make("button", "teacher-back", "ゲームにもどる");
    back.type = "button";
    back.addEventListener("click", () => this.close());
    box.append(actions, back);
    this.overlay.append(box);
    document.body.append(this.overlay);
  }

  show() {
    this.overlay.hidden = false;
    this.overlay.querySelector(".teacher-action").focus();
  }

  close() {
    this.overlay.hidden = true;
  }

  inCorner(event) {
    const box = this.corner.getBoundingClientRect();
    return event.clientX >= box.left && event.clientY >= box.top && event.clientX < box.right && event.clientY < box.bottom;
  }

  onPointer(type, event) {
    if (this.hold && event.pointerId === this.hold.id) {
      // Everything of a held pointer is the panel's, to its release.
      event.stopImmediatePropagation();
      event.preventDefault();
      if (type === "pointermove") {
        if (!this.hold.fired && Math.hypot(event.clientX - this.hold.x, event.clientY - this.hold.y) > kDriftPx) {
          this.stopRing();
        }
      } else if (type !== "pointerdown") {
        this.endHold();
      }
      return;
    }
    if (type !== "pointerdown" || this.hold) return;
    // The main button only: the right button stays the game's.
    if (event.button !== 0 || event.target !== this.canvas || !this.isPlaying() || !this.inCorner(event)) return;
    event.stopImmediatePropagation();
    event.preventDefault();
    this.startHold(event);
  }

  startHold(event) {
    const hold = { id: event.pointerId, x: event.clientX, y: event.clientY, start: performance.now(), fired: false };
    this.hold = hold;
    try {
      this.canvas.setPointerCapture(event.pointerId);
    } catch {
      // A pointer the browser no longer knows: its release ends the hold all the same.
    }
    hold.ringTimer = setTimeout(() => this.showRing(hold), kRingDelayMs);
    hold.timer = setTimeout(() => {
      hold.fired = true;
      this.stopRing();
      if (this.isPlaying()) this.show();
    }, kHoldMs);
  }

  showRing(hold) {
    if (this.hold !== hold) return;
    this.ring.style.left = `${hold.x}px`;
    this.ring.style.top = `${hold.y}px`;
    this.ring.hidden = false;
    const step = () => {
      if (this.hold !== hold || hold.fired || hold.stopped) return;
      const done = Math.min(1, (performance.now() - hold.start) / kHoldMs);
      this.ring.style.setProperty("--done", `${(done * 360).toFixed(1)}deg`);
      hold.frame = requestAnimationFrame(step);
    };
    step();
  }

  // The hold no longer counts (the finger wandered); its pointer stays the
  // panel's until it is lifted.
  stopRing() {
    const hold = this.hold;
    if (!hold) return;
    hold.stopped = true;
    clearTimeout(hold.ringTimer);
    if (!hold.fired) clearTimeout(hold.timer);
    cancelAnimationFrame(hold.frame);
    this.ring.hidden = true;
  }

  endHold() {
    this.stopRing();
    this.hold = null;
  }

  onKey(event) {
    if (!this.open) return;
    // The panel is a dialog: keys are its own, and Esc leaves it.
    event.stopImmediatePropagation();
    if (event.key === "Escape") {
      event.preventDefault();
      this.close();
    }
  }

  // The game is gone: nothing of the teacher's side stays on screen.
  reset() {
    this.endHold();
    this.close();
  }
}
