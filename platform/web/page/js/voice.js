// Speech through the browser's Japanese voice, given the core's reading (the
// letters and names already spelled as they are to sound). Where the device
// has none, the letters of what is said are heard from the pack.
// How long the first words wait for the list; a voice listed later is still
// taken. The game itself does not wait: its first question is drawn meanwhile.
const kVoicesWaitMs = 400;

export class Voice {
  constructor(sound, onEnd) {
    this.sound = sound;
    this.onEnd = onEnd;
    this.current = 0;
    this.watchdog = 0;
    this.voice = null;
    this.listed = Promise.resolve(); // the voice list has been waited for
  }

  // Finds a Japanese voice; browsers list their voices a little after load,
  // some only once asked. onChange hears of a voice found later.
  async choose(onChange = () => {}) {
    const synthesis = window.speechSynthesis;
    if (!synthesis) return null;
    const pick = () => {
      const japanese = synthesis.getVoices().filter((v) => v.lang.replace("_", "-").toLowerCase().startsWith("ja"));
      // A voice on the device itself works without the network.
      return japanese.find((v) => v.localService) ?? japanese[0] ?? null;
    };
    this.voice = pick();
    let listedNow = () => {};
    if (this.voice === null) {
      this.listed = new Promise((resolve) => (listedNow = resolve));
      setTimeout(listedNow, kVoicesWaitMs);
    }
    synthesis.addEventListener("voiceschanged", () => {
      const found = pick();
      if (found !== null) listedNow();
      if (found === this.voice) return;
      this.voice = found;
      onChange(found);
    });
    await this.listed;
    return this.voice;
  }

  // Says text, or the letters' own sounds where there is no Japanese voice;
  // the core hears of the end by id. Words asked for before the browser has
  // listed its voices wait for the list.
  speak(id, text, letterFiles) {
    this.stop();
    this.current = id;
    this.listed.then(() => {
      if (id === this.current) this.speakNow(id, text, letterFiles);
    });
  }

  speakNow(id, text, letterFiles) {
    if (this.voice && text !== "") {
      const utterance = new SpeechSynthesisUtterance(text);
      utterance.voice = this.voice;
      utterance.lang = this.voice.lang;
      utterance.onend = () => this.finish(id);
      utterance.onerror = () => this.finish(id);
      window.speechSynthesis.speak(utterance);
      // A voice that never reports its end must not hold the lesson.
      this.watchdog = setTimeout(() => this.finish(id), 3000 + 400 * text.length);
      return;
    }
    this.sound.playLetters(letterFiles.split("\n").filter(Boolean), () => this.finish(id));
  }

  finish(id) {
    if (id !== this.current) return;
    this.current = 0;
    clearTimeout(this.watchdog);
    this.onEnd(id);
  }

  stop() {
    this.current = 0;
    clearTimeout(this.watchdog);
    if (this.voice) window.speechSynthesis.cancel();
    this.sound.stopLetters();
  }
}
