#include "spoken_prompts.h"

#include <algorithm>

namespace kanae {

SpokenText AskForNameAndLetter(const Text& name) { return Word(name) + U"の、" + Letter(Left(name, 1)) + U"、は、どれかな"; }

SpokenText AskForName(const Text& name) { return Word(name) + U"は、どれかな"; }

SpokenText AskWhichIs(const Text& name) { return Word(name) + U"、は、どっちかな"; }

SpokenText AskToArrange(const Text& name) { return Word(name) + U"、と、並べましょう"; }

std::vector<SpokenText> OpeningPrompts(const std::vector<Text>& names, std::size_t most) {
  std::vector<SpokenText> prompts;
  if (names.empty()) return prompts;  // no lesson to open
  const auto add = [&](SpokenText prompt) {
    if (prompts.size() < most && std::find(prompts.begin(), prompts.end(), prompt) == prompts.end()) {
      prompts.push_back(std::move(prompt));
    }
  };
  for (SpokenText (*ask)(const Text&) : {AskForNameAndLetter, AskWhichIs, AskToArrange}) {
    for (const Text& name : names) add(ask(name));
  }
  for (const Text& fixed : {kAskWhichNameFits, kAskWhichOfTwoNamesFits, kAskToArrangeThisName}) add(SpokenText(fixed));
  for (const Text& name : names) add(AskForName(name));
  return prompts;
}

}  // namespace kanae
