// The teacher's side of a game in the page: the panel opened by holding the
// corner, and the dialogs the core opens.
import { TeacherDialogs } from "./teacher_dialogs.js";
import { TeacherPanel } from "./teacher_panel.js";

// isPlaying(): a game is on screen.
export function setUpTeacher(canvas, core, isPlaying) {
  const panel = new TeacherPanel(canvas, (key) => core.call("key", key), isPlaying);
  const dialogs = new TeacherDialogs(core.fs, (...args) => core.call(...args));
  return {
    showDialog: (json) => dialogs.show(json),
    closeDialog: () => dialogs.close(),
    // The game has ended: nothing of the teacher's side stays on screen.
    reset: () => {
      panel.reset();
      dialogs.close();
    },
  };
}
