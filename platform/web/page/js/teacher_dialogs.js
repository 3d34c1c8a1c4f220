// The teacher's three dialogs as HTML: the game's settings, the task
// selection and the ways of answering. What they show comes from the core's
// own dialog models as JSON; each choice goes back to the core, which keeps
// the rules and writes the files, and answers with the dialog as it now is.
import { button, make } from "./elements.js";
import { Thumbnails } from "./thumbnails.js";

// As the core numbers its dialogs.
export const kDialogKinds = { settings: 0, tasks: 1, input: 2 };

// The frames in the desktop dialog's columns, each column top to bottom.
function columnsOf(frames) {
  const columns = new Map();
  frames.forEach((frame, index) => {
    if (!columns.has(frame.left)) columns.set(frame.left, []);
    columns.get(frame.left).push({ frame, index });
  });
  return [...columns.entries()]
    .sort((a, b) => a[0] - b[0])
    .map(([, column]) => column.sort((a, b) => a.frame.top - b.frame.top));
}

export class TeacherDialogs {
  // call(name, ...args): a call into the core through the page's queue.
  constructor(fs, call) {
    this.call = call;
    this.thumbnails = new Thumbnails(fs);
    this.model = null;
    this.overlay = make("div", "overlay teacher-dialog");
    this.overlay.id = "teacher-dialog";
    this.overlay.hidden = true;
    this.overlay.setAttribute("role", "dialog");
    this.overlay.setAttribute("aria-modal", "true");
    this.box = make("div", "box");
    this.box.tabIndex = -1;
    this.overlay.append(this.box);
    document.body.append(this.overlay);
    window.addEventListener("keydown", (event) => this.onKey(event), true);
  }

  get open() {
    return !this.overlay.hidden;
  }

  get kind() {
    return this.model ? kDialogKinds[this.model.kind] : -1;
  }

  // The core's dialog: drawn anew when it opens, brought up to date after a choice.
  show(json) {
    const model = JSON.parse(json);
    const same = this.open && this.model && this.model.kind === model.kind;
    this.model = model;
    if (same) {
      this.update();
      return;
    }
    this.box.replaceChildren();
    this.thumbnails.stop();
    this.overlay.setAttribute("aria-label", model.caption);
    this.overlay.dataset.kind = model.kind;
    if (model.kind === "tasks") this.buildTasks(model);
    else this.buildSettings(model);
    this.overlay.hidden = false;
    this.box.focus();
  }

  close() {
    this.overlay.hidden = true;
    this.thumbnails.stop();
    this.box.replaceChildren();
    this.model = null;
  }

  confirm() {
    this.call("dialog_confirm", this.kind);
  }

  cancel() {
    this.call("dialog_cancel", this.kind);
  }

  buildSettings(model) {
    this.box.append(make("h2", "", model.title));
    const columns = make("div", "frames");
    for (const column of columnsOf(model.frames)) {
      const stack = make("div", "frame-column");
      for (const { frame, index } of column) {
        const set = make("fieldset", "frame");
        set.dataset.frame = String(index);
        set.append(make("legend", "", frame.caption));
        frame.options.forEach((option, o) => {
          const label = make("label", "option");
          const radio = document.createElement("input");
          radio.type = "radio";
          radio.name = `frame-${index}`;
          radio.value = String(o);
          radio.dataset.name = option.name;
          radio.addEventListener("change", () => this.call("dialog_select", this.kind, index, o));
          label.append(radio, make("span", "", option.caption));
          set.append(label);
        });
        if (frame.note) set.append(make("p", "frame-note", frame.note));
        stack.append(set);
      }
      columns.append(stack);
    }
    const buttons = make("div", "dialog-buttons");
    buttons.append(
      button("dialog-cancel", "キャンセル", () => this.cancel()),
      button("dialog-confirm", "実行", () => this.confirm()),
    );
    this.box.append(columns, buttons);
    this.update();
  }

  buildTasks(model) {
    this.box.append(make("h2", "", model.title), make("p", "dialog-hint", "出題する絵をタッチ（クリック）して選んでください。"));
    const grid = make("div", "task-grid");
    model.entries.forEach((entry, index) => {
      const tile = button("task-tile", undefined, () => {
        const marked = this.model.entries[index].marked;
        this.call("dialog_mark", this.kind, index, marked ? 0 : 1);
      });
      tile.dataset.entry = String(index);
      tile.title = entry.file;
      const picture = document.createElement("canvas");
      picture.className = "thumbnail";
      tile.append(picture, make("span", "task-label", entry.label), make("span", "task-tick", "✓"));
      grid.append(tile);
      this.thumbnails.watch(picture, entry.path, grid);
    });
    const count = make("p", "task-count");
    const marks = make("div", "dialog-buttons marks");
    marks.append(
      button("dialog-all", "全選択", () => this.call("dialog_mark_all", this.kind, 1)),
      button("dialog-none", "全解除", () => this.call("dialog_mark_all", this.kind, 0)),
    );
    const buttons = make("div", "dialog-buttons");
    buttons.append(
      button("dialog-cancel", "キャンセル", () => this.cancel()),
      button("dialog-confirm", "決定", () => this.confirm()),
    );
    this.box.append(grid, count, marks, buttons);
    this.update();
  }

  // The marks and counts of the model on the dialog already drawn.
  update() {
    const model = this.model;
    if (model.kind === "tasks") {
      for (const tile of this.box.querySelectorAll(".task-tile")) {
        const marked = model.entries[Number(tile.dataset.entry)].marked;
        tile.classList.toggle("marked", marked);
        tile.setAttribute("aria-pressed", marked ? "true" : "false");
      }
      this.box.querySelector(".task-count").textContent = model.count;
      return;
    }
    for (const set of this.box.querySelectorAll(".frame")) {
      const selected = model.frames[Number(set.dataset.frame)].selected;
      // A value no option stands for leaves the frame without a mark.
      set.querySelectorAll("input").forEach((radio, o) => (radio.checked = o === selected));
    }
  }

  onKey(event) {
    if (!this.open) return;
    // The dialog has the keys, as a desktop dialog has them; Esc is キャンセル
    // (once a message over the dialog has been read).
    event.stopImmediatePropagation();
    if (event.key === "Escape" && document.getElementById("message").hidden) {
      event.preventDefault();
      this.cancel();
    }
  }
}
