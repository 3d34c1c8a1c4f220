#include "accepted_keys.h"

#include <Qt>

namespace kanae {

const std::vector<AcceptedKey>& AcceptedKeys() {
  static const std::vector<AcceptedKey> keys = {
      {Qt::Key_Escape, Key::kEscape, true, "Esc", "Esc を押し続けると終了します"},
      {Qt::Key_H, Key::kH, true, "H", "H を押し続けると設定画面を開きます"},
      {Qt::Key_N, Key::kN, true, "N", "N を押し続けると課題選択画面を開きます"},
      {Qt::Key_S, Key::kS, true, "S", "S を押し続けると入力方法の設定を開きます"},
      {Qt::Key_R, Key::kR, true, "R", "R を押し続けると学習記録を開きます"},
      {Qt::Key_F1, Key::kF1, true, "F1", "F1 を押し続けると使い方を開きます"},
      {Qt::Key_Space, Key::kSpace, false, "スペース", ""},
      {Qt::Key_Return, Key::kEnter, false, "Enter", ""},
  };
  return keys;
}

const AcceptedKey* AcceptedKeyFor(int qt_key) {
  if (qt_key == Qt::Key_Enter) qt_key = Qt::Key_Return;
  for (const AcceptedKey& key : AcceptedKeys()) {
    if (key.qt_key == qt_key) return &key;
  }
  return nullptr;
}

}  // namespace kanae
