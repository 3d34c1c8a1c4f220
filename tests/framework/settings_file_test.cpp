#include "settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "../../games/card_picking/settings.h"
#include "../../games/initial_letter/settings.h"
#include "../../games/kana_catching/settings.h"
#include "../../games/name_choice/settings.h"
#include "../../games/picture_card/settings.h"
#include "../../games/word_building/settings.h"
#include "fakes.h"

namespace kanae {
namespace {

using testing::TempFolder;

struct GameSettings {
  std::string file;
  std::string default_line;
  // Builds the game's settings and returns its slots (kept alive by the holder).
  std::function<SettingsList()> slots;
};

template <typename S>
std::function<SettingsList()> Holder() {
  auto settings = std::make_shared<S>();
  return [settings] {
    SettingsList list = SettingSlots(*settings);
    return list;
  };
}

std::vector<GameSettings> AllGames() {
  return {
      {"Oltar.txt", "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#", Holder<initial_letter::Settings>()},
      {"Pemble.txt", "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#", Holder<kana_catching::Settings>()},
      {"Suvan.txt", "#TRUE#,1,#FALSE#,#TRUE#", Holder<card_picking::Settings>()},
      {"Dabrel.txt", "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#", Holder<word_building::Settings>()},
      {"Quoma.txt", "#TRUE#,#FALSE#,#TRUE#", Holder<name_choice::Settings>()},
      {"Vintal.txt", "#TRUE#,#FALSE#,#TRUE#,#TRUE#", Holder<picture_card::Settings>()},
  };
}

TEST(SettingsFile, AFileThatCannotBeReadIsLeftAsItIsAndTheDefaultsAreUsed) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "Oltar.txt");
  initial_letter::Settings s;
  for (SettingSlot& slot : SettingSlots(s)) *slot.value = 5;
  const auto outcome = LoadSettings(folder / "Oltar.txt", SettingSlots(s));
  EXPECT_EQ(outcome.load, SettingsLoad::kUnreadable);
  EXPECT_EQ(outcome.read_error, EISDIR);
  for (const SettingSlot& slot : SettingSlots(s)) EXPECT_EQ(*slot.value, slot.default_value) << slot.name;
  EXPECT_TRUE(std::filesystem::is_directory(folder / "Oltar.txt"));
}

TEST(SettingsFile, TheWrittenLineParsesBackToTheSameValues) {
  card_picking::Settings s;
  SettingsList slots = SettingSlots(s);
  std::int16_t v = -3;
  for (SettingSlot& slot : slots) *slot.value = v++;
  const auto values = ParseSettingsRecord(FormatSettingsLine(slots) + U"\r\n", slots);
  ASSERT_TRUE(values.has_value());
  for (std::size_t i = 0; i < slots.size(); ++i) EXPECT_EQ((*values)[i], *slots[i].value) << slots[i].name;
}

TEST(SettingsFile, EachGameCreatesItsDefaultLineByteForByte) {
  for (const GameSettings& game : AllGames()) {
    TempFolder folder;
    const SettingsList slots = game.slots();
    const auto outcome = LoadSettings(folder / game.file, slots);
    EXPECT_EQ(outcome.load, SettingsLoad::kCreated) << game.file;
    EXPECT_TRUE(outcome.write.ok);
    EXPECT_EQ(folder.Read(game.file), game.default_line + "\r\n") << game.file;
    // Reading the file back gives the same values and leaves it alone.
    for (const SettingSlot& slot : slots) *slot.value = 7;
    EXPECT_EQ(LoadSettings(folder / game.file, slots).load, SettingsLoad::kRead);
    EXPECT_EQ(ToUtf8(FormatSettingsLine(slots)), game.default_line) << game.file;
  }
}

TEST(SettingsFile, ReadsATeachersValues) {
  TempFolder folder;
  folder.Write("Oltar.txt", "#FALSE#,#FALSE#,3,1,#FALSE#,#TRUE#\r\n");
  initial_letter::Settings s;
  ASSERT_EQ(LoadSettings(folder / "Oltar.txt", SettingSlots(s)).load, SettingsLoad::kRead);
  EXPECT_EQ(s.ask_with_name, kFalse);
  EXPECT_EQ(s.show_model, kFalse);
  EXPECT_EQ(s.distractor_count, 3);
  EXPECT_EQ(s.distractor_kind, 1);
  EXPECT_EQ(s.cursor_visible, kFalse);
  EXPECT_EQ(s.touch_mode, kTrue);
}

TEST(SettingsFile, KeepsAHandEditedNumberInABooleanField) {
  TempFolder folder;
  folder.Write("Suvan.txt", "1,2,#FALSE#,#TRUE#\r\n");
  card_picking::Settings s;
  ASSERT_EQ(LoadSettings(folder / "Suvan.txt", SettingSlots(s)).load, SettingsLoad::kRead);
  EXPECT_EQ(s.four_cards, 1);  // not exactly true: the game shows two cards
  EXPECT_EQ(s.card_letter_size, 2);
}

TEST(SettingsFile, AFileThatCannotBeReadIsResetToTheDefaults) {
  const std::string cases[] = {
      "#TRUE#,#TRUE#,x,0,#TRUE#,#FALSE#\r\n",  // wrong type
      "#TRUE#,#TRUE#,0\r\n",                   // too few fields
      "\"#TRUE#\",#TRUE#,0,0,#TRUE#,#FALSE#",  // a text where a boolean belongs
      "#TRUE#,#TRUE#,99999,0,#TRUE#,#FALSE#",  // beyond 16 bits
      "\x82\xFF\x82",                          // not text at all
      "",                                      // empty
  };
  for (const std::string& bytes : cases) {
    TempFolder folder;
    folder.Write("Dabrel.txt", bytes);
    word_building::Settings s;
    s.distractor_count = 2;
    const auto outcome = LoadSettings(folder / "Dabrel.txt", SettingSlots(s));
    EXPECT_EQ(outcome.load, SettingsLoad::kResetUnreadable) << bytes;
    EXPECT_EQ(s.distractor_count, 0) << bytes;
    EXPECT_EQ(folder.Read("Dabrel.txt"), "#TRUE#,#TRUE#,0,0,#TRUE#,#FALSE#\r\n") << bytes;
  }
}

TEST(SettingsFile, IgnoresFieldsBeyondTheGamesList) {
  TempFolder folder;
  folder.Write("Quoma.txt", "#FALSE#,#TRUE#,#FALSE#,#TRUE#\r\n");
  name_choice::Settings s;
  EXPECT_EQ(LoadSettings(folder / "Quoma.txt", SettingSlots(s)).load, SettingsLoad::kRead);
  EXPECT_EQ(s.ask_with_name, kFalse);
  EXPECT_EQ(s.cursor_visible, kFalse);
}

TEST(SettingsFile, AFailedWriteIsReportedAndTheDefaultsAreUsed) {
  TempFolder folder;
  picture_card::Settings s;
  s.choose_by_picture = kFalse;
  const auto outcome = LoadSettings(folder / "no-such-folder/Vintal.txt", SettingSlots(s));
  EXPECT_EQ(outcome.load, SettingsLoad::kCreated);
  EXPECT_FALSE(outcome.write.ok);
  EXPECT_EQ(s.choose_by_picture, kTrue);
}

}  // namespace
}  // namespace kanae
