// The plain line under each group of the teacher's settings dialogs: what the
// setting does in the classroom, in words a teacher who has never seen the
// games understands.
#pragma once

#include <utility>
#include <vector>

#include "settings_dialog.h"

namespace kanae {

// Gives every frame of the layout its note: the game's own, by the frame's
// caption, or else the one the frames of that caption share in every game.
void AttachNotes(SettingsDialogLayout& layout, const std::vector<std::pair<Text, Text>>& own_notes = {});

}  // namespace kanae
