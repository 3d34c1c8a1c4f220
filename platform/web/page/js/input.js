// The child's and the teacher's input on the game: Pointer Events for mouse,
// pen and touch (a tap is a click, a moving finger a pointer move), and the
// keys the desktop games take.
const kKeyCodes = {
  Escape: 27,
  Enter: 13,
  " ": 32,
  h: 72,
  n: 78,
  r: 82,
  s: 83,
  F1: 112,
};

// 1 left, 2 right, 4 middle; other buttons answer nothing.
function buttonNumber(event) {
  return { 0: 1, 1: 4, 2: 2 }[event.button] ?? 0;
}

// toLayout(x, y): a point on the canvas in the game's layout.
export function listenForInput(canvas, core, isPlaying, toLayout) {
  const send = (what, event) => {
    const box = canvas.getBoundingClientRect();
    const [x, y] = toLayout(event.clientX - box.left, event.clientY - box.top);
    const args = ["pointer", what, x, y, buttonNumber(event)];
    if (what === 1) core.callMerged("move", ...args);
    else core.call(...args);
  };
  canvas.addEventListener("pointerdown", (event) => {
    event.preventDefault();
    send(0, event);
  });
  canvas.addEventListener("pointermove", (event) => send(1, event));
  canvas.addEventListener("pointerup", (event) => send(2, event));
  canvas.addEventListener("contextmenu", (event) => event.preventDefault());
  window.addEventListener("keydown", (event) => {
    if (!isPlaying()) return;
    const code = kKeyCodes[event.key.length === 1 ? event.key.toLowerCase() : event.key];
    if (code === undefined) return;
    event.preventDefault(); // F1 would open the browser's help, Space scroll
    core.call("key", code);
  });
}
