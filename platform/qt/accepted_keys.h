// The keys the game window acts on, in one table: the window, the key lock
// and the teacher's guide all go by it, so a key cannot be added to one of
// them and left out of another.
#pragma once

#include <QString>
#include <vector>

#include "lesson.h"

namespace kanae {

struct AcceptedKey {
  int qt_key;            // Qt::Key_H
  Key key;               // what the lesson is told
  bool teacher;          // a teacher's key: held for two seconds under the key lock
  const char* guide_name;  // as the guide writes it, <kbd>H</kbd>
  const char* held_hint;   // under the key lock, what holding it does
};

const std::vector<AcceptedKey>& AcceptedKeys();

// The entry for a Qt key, or nullptr for a key the games ignore. Return and
// the keypad's Enter are one key.
const AcceptedKey* AcceptedKeyFor(int qt_key);

}  // namespace kanae
