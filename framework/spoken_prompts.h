// What the games say to ask for a picture, in one place: the menu has a
// lesson's prompts made ahead of any game, and they must be the very texts
// the games will say.
#pragma once

#include <vector>

#include "spoken_text.h"
#include "text.h"

namespace kanae {

// "はちの、は、は、どれかな": the picture by its name and its first letter.
SpokenText AskForNameAndLetter(const Text& name);
// "はちは、どれかな": the picture by its name alone.
SpokenText AskForName(const Text& name);
// "はち、は、どっちかな": which of two.
SpokenText AskWhichIs(const Text& name);
// "はち、と、並べましょう": the name to be built from its letters.
SpokenText AskToArrange(const Text& name);
// The prompts of a game set not to say the name.
inline const Text kAskWhichNameFits = U"この名前は、どれかな";
inline const Text kAskWhichOfTwoNamesFits = U"この名前は、どっちかな";
inline const Text kAskToArrangeThisName = U"この名前を、並べましょう";

// Every prompt a game can open a lesson of these names with, those of the
// games' usual settings first (each name asked by name and letter, then
// which of two, then to arrange it), then the rest; at most `most`. None
// without names.
std::vector<SpokenText> OpeningPrompts(const std::vector<Text>& names, std::size_t most);

}  // namespace kanae
