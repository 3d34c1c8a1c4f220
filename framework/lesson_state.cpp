#include "lesson_state.h"

#include "picture_library.h"

namespace kanae {

Text LessonState::TaskName(int i) const {
  return i >= 0 && i < TaskCount() ? NameOfPicture(task_pictures[i]) : Text();
}

}  // namespace kanae
