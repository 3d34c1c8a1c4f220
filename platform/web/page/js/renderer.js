// Draws the control model on the canvas as the desktop window paints it: the
// same twips, the same Gothic, at the device's pixel ratio.
import { Pictures } from "./pictures.js";

export const kFontFamilies = '"KanaeGothic", "IPAGothic", "Noto Sans CJK JP", sans-serif';

function fontOf(points) {
  // A point is 4/3 of a CSS pixel.
  return `bold ${Math.max(1, Math.round((points * 4) / 3))}px ${kFontFamilies}`;
}

function areaOf(control) {
  return { x: control.left / 15, y: control.top / 15, w: control.width / 15, h: control.height / 15 };
}

// Lines of a caption as they fit its label: its own line breaks, and a line
// wider than the label broken at any character.
function layoutLines(ctx, caption, width) {
  const lines = [];
  for (const paragraph of caption.split(/\r\n|\r|\n/)) {
    let line = "";
    for (const ch of paragraph) {
      if (line !== "" && ctx.measureText(line + ch).width > width) {
        lines.push(line);
        line = "";
      }
      line += ch;
    }
    lines.push(line);
  }
  return lines;
}

export class Renderer {
  // onFrame(allPictures) hears of each frame drawn while the core asks for it.
  constructor(canvas, fs, onFrame) {
    this.canvas = canvas;
    this.ctx = canvas.getContext("2d");
    this.onFrame = onFrame;
    this.model = null;
    this.framePlanned = false;
    this.layout = null; // the screen the game was laid out for (CSS px)
    this.ratio = window.devicePixelRatio || 1;
    this.view = { scale: 1, x: 0, y: 0 }; // where that layout is on the canvas
    this.pictures = new Pictures(fs, () => this.draw());
    // A name beyond the font's first piece was drawn with another face
    // until the whole font came: drawn again with it.
    document.fonts.addEventListener("loadingdone", () => this.draw());
  }

  // A game is laid out once, for the screen it starts on, as the desktop
  // lays it out for its full-screen window. A screen that turns or changes
  // size afterwards shows that layout whole, scaled to fit and centred (a
  // child's answers never end up off the screen), and a touch is mapped back.
  startLayout() {
    this.layout = { w: window.innerWidth, h: window.innerHeight };
    this.fit();
  }

  // Fits the canvas to the window at the device's pixel ratio.
  fit() {
    const ratio = window.devicePixelRatio || 1;
    this.ratio = ratio;
    this.canvas.width = Math.round(window.innerWidth * ratio);
    this.canvas.height = Math.round(window.innerHeight * ratio);
    const layout = this.layout ?? { w: window.innerWidth, h: window.innerHeight };
    const scale = Math.min(window.innerWidth / layout.w, window.innerHeight / layout.h);
    this.view = { scale, x: (window.innerWidth - layout.w * scale) / 2, y: (window.innerHeight - layout.h * scale) / 2 };
  }

  // A point on the canvas (CSS px) in the game's layout, and back.
  toLayout(x, y) {
    return [(x - this.view.x) / this.view.scale, (y - this.view.y) / this.view.scale];
  }

  toScreen(area) {
    const { scale, x, y } = this.view;
    return { x: x + area.x * scale, y: y + area.y * scale, w: area.w * scale, h: area.h * scale };
  }

  show(model) {
    this.model = model;
    this.draw();
  }

  shownSize(area) {
    const pixels = this.ratio * this.view.scale;
    return [Math.max(1, Math.round(area.w * pixels)), Math.max(1, Math.round(area.h * pixels))];
  }

  draw() {
    const model = this.model;
    if (!model) return;
    const ctx = this.ctx;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = model.back;
    ctx.fillRect(0, 0, this.canvas.width, this.canvas.height);
    const { scale, x, y } = this.view;
    const pixels = this.ratio * scale;
    ctx.setTransform(pixels, 0, 0, pixels, this.ratio * x, this.ratio * y);
    this.canvas.style.cursor = model.pointerHidden ? "none" : "default";
    ctx.imageSmoothingEnabled = true;
    ctx.imageSmoothingQuality = "high";
    let allPictures = true;
    const sizes = [];
    for (const control of model.controls) {
      const area = areaOf(control);
      if (control.picture !== undefined) {
        if (control.picture === "") continue;
        const [w, h] = this.shownSize(area);
        if (!sizes.some(([sw, sh]) => sw === w && sh === h)) sizes.push([w, h]);
        const picture = this.pictures.find(control.picture, w, h);
        if (picture === undefined) {
          allPictures = false;
          this.pictures.request(control.picture, w, h);
        } else if (picture === null) {
          this.drawPlaceholder(area);
        } else {
          ctx.drawImage(picture, area.x, area.y, area.w, area.h);
        }
        continue;
      }
      this.drawLabel(control, area);
    }
    this.drawMarkers(model);
    // The next question's pictures, decoded while this one is played (once
    // this one's are on screen: they come first).
    if (allPictures) {
      for (const path of model.picturesAhead) {
        for (const [w, h] of sizes) this.pictures.request(path, w, h);
      }
    }
    if (model.reportFrames) this.planFrame(allPictures);
  }

  planFrame(allPictures) {
    this.frameAll = allPictures;
    if (this.framePlanned) return;
    this.framePlanned = true;
    requestAnimationFrame(() => {
      this.framePlanned = false;
      this.onFrame(this.frameAll);
    });
  }

  drawLabel(control, area) {
    const ctx = this.ctx;
    if (control.back !== null) {
      ctx.fillStyle = control.back;
      ctx.fillRect(area.x, area.y, area.w, area.h);
    }
    if (control.caption === "") return;
    ctx.font = fontOf(control.points);
    ctx.fillStyle = control.fore;
    const metrics = ctx.measureText("あ");
    const ascent = metrics.fontBoundingBoxAscent ?? metrics.actualBoundingBoxAscent;
    const descent = metrics.fontBoundingBoxDescent ?? metrics.actualBoundingBoxDescent;
    const lineHeight = ascent + descent;
    const lines = layoutLines(ctx, control.caption, area.w);
    ctx.textBaseline = "alphabetic";
    if (control.centred) {
      ctx.textAlign = "center";
      let y = area.y + (area.h - lines.length * lineHeight) / 2 + ascent;
      for (const line of lines) {
        ctx.fillText(line, area.x + area.w / 2, y);
        y += lineHeight;
      }
    } else {
      ctx.textAlign = "left";
      let y = area.y + ascent;
      for (const line of lines) {
        ctx.fillText(line, area.x, y);
        y += lineHeight;
      }
    }
  }

  // A picture that cannot be shown: a frame with a question mark, so the
  // teacher sees that something is missing.
  drawPlaceholder(area) {
    const ctx = this.ctx;
    ctx.fillStyle = "white";
    ctx.fillRect(area.x, area.y, area.w, area.h);
    const frame = Math.max(2, Math.min(area.w, area.h) / 60);
    ctx.strokeStyle = "rgb(96,96,96)";
    ctx.lineWidth = frame;
    ctx.strokeRect(area.x + frame / 2, area.y + frame / 2, area.w - frame, area.h - frame);
    ctx.font = `bold ${Math.max(1, Math.floor(Math.min(area.w, area.h) / 2))}px ${kFontFamilies}`;
    ctx.fillStyle = "rgb(96,96,96)";
    ctx.textAlign = "center";
    ctx.textBaseline = "middle";
    ctx.fillText("？", area.x + area.w / 2, area.y + area.h / 2);
  }

  // The switch scanning's frame and the dwell ring, as the desktop draws
  // them: gold edged in black, seen on any picture.
  drawMarkers(model) {
    const ctx = this.ctx;
    const gold = "rgb(255,215,0)";
    if (model.scan >= 0) {
      const area = areaOf(model.controls[model.scan]);
      const thickness = Math.max(6, Math.min(area.w, area.h) / 12);
      const edge = Math.max(2, thickness / 4);
      const outer = thickness + 2 * edge;
      const x = area.x + outer / 2, y = area.y + outer / 2, w = area.w - outer, h = area.h - outer;
      ctx.lineJoin = "miter";
      ctx.strokeStyle = "black";
      ctx.lineWidth = outer;
      ctx.strokeRect(x, y, w, h);
      ctx.strokeStyle = gold;
      ctx.lineWidth = thickness;
      ctx.strokeRect(x, y, w, h);
    }
    if (model.dwell >= 0) {
      const area = areaOf(model.controls[model.dwell]);
      const side = Math.min(area.w, area.h) * 0.9;
      const thickness = Math.max(8, side / 8);
      const edge = Math.max(2, thickness / 4);
      const inset = thickness / 2 + edge;
      const radius = Math.max(1, (side - 2 * inset) / 2);
      const cx = area.x + area.w / 2, cy = area.y + area.h / 2;
      ctx.beginPath();
      ctx.arc(cx, cy, radius, 0, 2 * Math.PI);
      ctx.strokeStyle = "black";
      ctx.lineWidth = thickness + 2 * edge;
      ctx.stroke();
      if (model.dwellProgress > 0) {
        ctx.beginPath();
        ctx.arc(cx, cy, radius, -Math.PI / 2, -Math.PI / 2 + model.dwellProgress * 2 * Math.PI);
        ctx.strokeStyle = gold;
        ctx.lineWidth = thickness;
        ctx.lineCap = "butt";
        ctx.stroke();
      }
    }
  }

  // Where the answers are now, in CSS pixels: the automation's way to find them.
  answerAreas() {
    if (!this.model) return [];
    return this.model.answers.map((index) => {
      const c = this.model.controls[index];
      return { name: c.name, caption: c.caption ?? null, picture: c.picture ?? null, ...this.toScreen(areaOf(c)) };
    });
  }
}
