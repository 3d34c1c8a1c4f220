#include "settings_notes.h"

namespace kanae {

namespace {

// The groups that stand in several dialogs mean the same in each.
const std::vector<std::pair<Text, Text>>& SharedNotes() {
  static const std::vector<std::pair<Text, Text>> notes = {
      {U"タッチの方法", U"「クリックする」はクリックやタップで答えます。「触れるだけ」はマウスを答えの上に動かすだけで答えになります。"},
      {U"マウスカーソルの表示", U"「無し」にすると、ゲームの画面でマウスの矢印が見えなくなります。"},
      {U"まどわし文字", U"正しい文字といっしょに並べる、まちがいの文字の数です。"},
      {U"まどわし文字の種類", U"まちがいの文字を、ひらがなとカタカナのどちらから出すかです。"},
      // The input settings (key S), the same for every game of a lesson.
      {U"止めて選ぶ（注視）",
       U"マウスや指を答えの上に止めておくと、輪が満ちて答えになります。その時間です。クリックのむずかしい子に。"},
      {U"問題のくり返し", U"「有り」にすると、スペースキーかマウスの右ボタンで問題をもう一度聞けます。"},
      {U"スイッチ",
       U"答えを順に金色のわくで示します。１つ：わくが自動で進み、スペースかEnterで選ぶ。２つ：スペースで次へ、Enterで選ぶ。"},
      {U"スイッチの間隔", U"スイッチ１つのとき、わくが次の答えへ進むまでの時間です。"},
      {U"問題の数", U"正解がこの数になるとレッスンが終わり、スタンプを見せます。「無制限」は終わりません。"},
  };
  return notes;
}

const Text* Find(const std::vector<std::pair<Text, Text>>& notes, const Text& caption) {
  for (const auto& [frame, note] : notes) {
    if (frame == caption) return &note;
  }
  return nullptr;
}

}  // namespace

void AttachNotes(SettingsDialogLayout& layout, const std::vector<std::pair<Text, Text>>& own_notes) {
  for (OptionFrame& frame : layout.frames) {
    const Text* note = Find(own_notes, frame.caption);
    if (note == nullptr) note = Find(SharedNotes(), frame.caption);
    if (note != nullptr) frame.note = *note;
  }
}

}  // namespace kanae
