// The learning report in the page: the same self-contained HTML file the
// desktop writes, made by the core into its file system, shown full size
// over the game until the teacher goes back. 「印刷」 prints the report alone;
// 「保存」 hands over the file itself, byte for byte, as 学習記録.html.
import { button, download } from "./elements.js";

const kSavedName = "学習記録.html";

export class ReportPanel {
  // fs: the core's file system; onBack: the teacher has gone back to the game.
  constructor(fs, onBack) {
    this.fs = fs;
    this.onBack = onBack;
    this.bytes = null;
    this.overlay = document.createElement("div");
    this.overlay.id = "report";
    this.overlay.className = "report-panel";
    this.overlay.hidden = true;
    this.overlay.setAttribute("role", "dialog");
    this.overlay.setAttribute("aria-modal", "true");
    this.overlay.setAttribute("aria-label", "学習記録");
    const bar = document.createElement("div");
    bar.className = "report-bar";
    this.note = document.createElement("p");
    this.note.className = "report-note";
    this.printButton = Object.assign(button(null, "印刷", () => this.print()), { id: "report-print" });
    this.saveButton = Object.assign(button(null, "保存", () => this.save()), { id: "report-save" });
    this.backButton = Object.assign(button(null, "ゲームにもどる", () => this.back()), { id: "report-back" });
    bar.append(this.note, this.printButton, this.saveButton, this.backButton);
    this.overlay.append(bar);
    document.body.append(this.overlay);
    this.frame = null; // made when first shown: a frame is a whole document, slow to make at the start
  }

  // The report is our own page with no script; the frame lets nothing run
  // in it, and keeps it readable and printable from here.
  makeFrame() {
    if (this.frame) return this.frame;
    this.frame = document.createElement("iframe");
    this.frame.id = "report-frame";
    this.frame.title = "学習記録";
    this.frame.setAttribute("sandbox", "allow-same-origin allow-modals");
    this.overlay.append(this.frame);
    return this.frame;
  }

  get shown() {
    return !this.overlay.hidden;
  }

  show(path) {
    let html = null;
    try {
      this.bytes = this.fs.readFile(path);
      html = new TextDecoder().decode(this.bytes);
      this.note.textContent = "";
    } catch (error) {
      console.error("kanae: the report could not be read", error);
      this.bytes = null;
      this.note.textContent = "学習記録のページを読めませんでした。";
    }
    this.makeFrame().srcdoc = html ?? "";
    this.printButton.disabled = this.saveButton.disabled = html === null;
    this.overlay.hidden = false;
    this.backButton.focus();
  }

  print() {
    const view = this.frame?.contentWindow;
    if (!view) return;
    view.focus();
    view.print();
  }

  save() {
    if (this.bytes) download(new Blob([this.bytes], { type: "text/html" }), kSavedName);
  }

  // Closed with the game: nothing to go back to.
  hide() {
    this.overlay.hidden = true;
    if (this.frame) this.frame.srcdoc = "";
    this.bytes = null;
  }

  back() {
    if (!this.shown) return;
    this.hide();
    this.onBack();
  }
}

