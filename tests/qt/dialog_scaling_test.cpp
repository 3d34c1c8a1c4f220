// The teacher's dialogs on the screen this test runs on (one run per screen
// size, offscreen): they grow with the screen, and every caption still fits
// its frame and every button its label.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionGroupBox>
#include <functional>

#include "games/card_picking/settings.h"
#include "games/initial_letter/settings.h"
#include "games/kana_catching/settings.h"
#include "games/name_choice/settings.h"
#include "games/picture_card/settings.h"
#include "games/word_building/settings.h"
#include "input_settings.h"
#include "platform/qt/dialog_scale.h"
#include "platform/qt/settings_dialog_widget.h"
#include "platform/qt/task_dialog_widget.h"

#include <QListWidget>
#include <QPainter>

#include "fakes.h"
#include "lesson.h"

namespace kanae {
namespace {

int ScreenHeight() { return QGuiApplication::primaryScreen()->geometry().height(); }

// A screenshot for a person to look at, when KANAE_SCREENSHOT_DIR names a folder.
void Keep(QWidget& widget, const QString& name) {
  const QString folder = qEnvironmentVariable("KANAE_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  widget.grab().save(QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(name).arg(ScreenHeight())));
}

// The run was meant for this screen: a configfile that Qt ignored would
// otherwise test the default screen three times.
TEST(DialogScaling, RunsOnTheScreenItWasGiven) {
  const QString expected = qEnvironmentVariable("KANAE_EXPECT_SCREEN_HEIGHT");
  if (expected.isEmpty()) GTEST_SKIP() << "no screen size asked for";
  EXPECT_EQ(ScreenHeight(), expected.toInt());
}

TEST(DialogScaling, TextIsSixteenPixelsOnA1080LineScreenAndNeverBelowEleven) {
  struct Case {
    int height, font;
  };
  for (const Case& c : {Case{600, 11}, Case{768, 11}, Case{1080, 16}, Case{1200, 18}, Case{2160, 32}}) {
    const DialogScale scale(c.height);
    EXPECT_EQ(scale.FontPixels(), c.font) << c.height;
    EXPECT_GE(scale.Factor(), 1.0) << c.height;
  }
  // 5175 twips (the initial-letter dialog's width) on a 1080-line screen.
  EXPECT_EQ(DialogScale(1080).Pixels(5175), 502);
}

struct GameDialog {
  const char* name;
  std::function<SettingsDialogLayout()> layout;
  std::function<SettingsList()> settings;
};

template <typename SettingsT>
GameDialog Make(const char* name, SettingsDialogLayout (*layout)(SettingsT&), SettingsList (*setting_slots)(SettingsT&)) {
  auto settings = std::make_shared<SettingsT>();
  return {name, [settings, layout] { return layout(*settings); }, [settings, setting_slots] { return setting_slots(*settings); }};
}

std::vector<GameDialog> AllGames() {
  return {
      Make("Oltar", initial_letter::DialogLayout, initial_letter::SettingSlots),
      Make("Pemble", kana_catching::DialogLayout, kana_catching::SettingSlots),
      Make("Suvan", card_picking::DialogLayout, card_picking::SettingSlots),
      Make("Dabrel", word_building::DialogLayout, word_building::SettingSlots),
      Make("Quoma", name_choice::DialogLayout, name_choice::SettingSlots),
      Make("Vintal", picture_card::DialogLayout, picture_card::SettingSlots),
      Make("input", InputDialogLayout, InputSettingSlots),
  };
}

// Where a group box's options may stand: below its caption, inside its border.
QRect ContentsOf(QGroupBox* box) {
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.lineWidth = 1;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxContents;
  return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, box);
}

// Under every frame its note, whole, clear of every other control of the
// dialog and inside it.
void ExpectANoteUnderEveryFrame(QDialog& dialog, const SettingsDialogLayout& layout) {
  const auto boxes = dialog.findChildren<QGroupBox*>();
  std::vector<QWidget*> others;
  for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (qobject_cast<QGroupBox*>(child) != nullptr || qobject_cast<QPushButton*>(child) != nullptr ||
        child->objectName().startsWith("note_")) {
      others.push_back(child);
    }
  }
  for (std::size_t f = 0; f < layout.frames.size(); ++f) {
    SCOPED_TRACE(ToUtf8(layout.frames[f].caption));
    EXPECT_FALSE(layout.frames[f].note.empty()) << "a frame without a note";
    auto* note = dialog.findChild<QLabel*>(QStringLiteral("note_%1").arg(f));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QString::fromStdU32String(layout.frames[f].note));
    EXPECT_EQ(QFontInfo(note->font()).pixelSize(), DialogScale::ForPrimaryScreen().FontPixels());
    EXPECT_GE(note->height(), note->heightForWidth(note->width())) << "the note is cut off";
    EXPECT_TRUE(dialog.rect().contains(note->geometry()));
    // It stands right under its own frame, as wide as it.
    QGroupBox* box = boxes[static_cast<qsizetype>(f)];
    EXPECT_EQ(note->x(), box->x());
    EXPECT_EQ(note->width(), box->width());
    EXPECT_GT(note->y(), box->geometry().bottom());
    EXPECT_LT(note->y() - box->geometry().bottom(), 2 * dialog.fontMetrics().height());
    for (QWidget* other : others) {
      if (other == note) continue;
      EXPECT_FALSE(other->geometry().intersects(note->geometry()))
          << "the note overlaps " << other->objectName().toStdString() << " "
          << (qobject_cast<QGroupBox*>(other) ? qobject_cast<QGroupBox*>(other)->title().toStdString() : "");
    }
  }
}

TEST(DialogScaling, EverySettingsDialogFitsItsCaptionsAndLabelsAndTheScreen) {
  const DialogScale scale = DialogScale::ForPrimaryScreen();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (const GameDialog& game : AllGames()) {
    SCOPED_TRACE(game.name);
    SettingsDialog model(game.layout(), game.settings());
    SettingsDialogWidget dialog(model, [] {}, [] {}, nullptr);
    dialog.Open();
    const SettingsDialogLayout& layout = model.Layout();

    EXPECT_EQ(dialog.font().pixelSize(), scale.FontPixels());
    EXPECT_GE(dialog.font().pixelSize(), std::max(DialogScale::kBaseFontPixels, 16 * ScreenHeight() / 1080));
    // As wide as laid out; taller by the notes under the frames.
    EXPECT_EQ(dialog.width(), scale.Pixels(layout.client_width));
    EXPECT_GT(dialog.height(), scale.Pixels(layout.client_height));
    EXPECT_LE(dialog.width(), screen.width());
    EXPECT_LE(dialog.height(), screen.height());

    const auto boxes = dialog.findChildren<QGroupBox*>();
    ASSERT_EQ(boxes.size(), static_cast<qsizetype>(layout.frames.size()));
    for (QGroupBox* box : boxes) {
      SCOPED_TRACE(box->title().toStdString());
      EXPECT_EQ(QFontInfo(box->font()).pixelSize(), scale.FontPixels());
      EXPECT_LE(box->minimumSizeHint().width(), box->width()) << "the caption is cut off";
      EXPECT_TRUE(dialog.rect().contains(box->geometry()));
      const QRect inside = ContentsOf(box);
      for (QRadioButton* button : box->findChildren<QRadioButton*>()) {
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_TRUE(inside.contains(button->geometry()))
            << "option at " << button->geometry().top() << ".." << button->geometry().bottom() << " in "
            << inside.top() << ".." << inside.bottom() << ", width " << button->geometry().right() << " of "
            << inside.right();
        EXPECT_EQ(QFontInfo(button->font()).pixelSize(), scale.FontPixels());
        EXPECT_GE(button->width(), button->sizeHint().width()) << "the label is cut off";
        EXPECT_GE(button->height(), button->sizeHint().height());
      }
    }
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
      SCOPED_TRACE(button->text().toStdString());
      EXPECT_EQ(QFontInfo(button->font()).pixelSize(), scale.FontPixels());
      EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text())) << "the label is cut off";
      EXPECT_GE(button->height(), button->fontMetrics().height());
    }
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->objectName().startsWith("note_")) continue;  // wrapped to its frame's width
      EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
    }
    ExpectANoteUnderEveryFrame(dialog, layout);
    Keep(dialog, QStringLiteral("settings-%1").arg(game.name));
  }
}

TEST(DialogScaling, TheTaskDialogGrowsWithTheScreenAndFitsItsButtons) {
  const DialogScale scale = DialogScale::ForPrimaryScreen();
  testing::TempFolder folder;
  LessonState state;
  const char* words[] = {"いぬ", "うし", "ねこ", "りんご", "ちょうちょ", "さかな", "とけい", "ひこうき"};
  int hue = 0;
  for (const char* word : words) {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(hue += 40, 160, 230));
    QPainter(&image).fillRect(100, 75, 200, 150, Qt::white);
    const std::string name = std::string(word) + ".jpg";
    image.save(QString::fromStdString((folder / name).string()));
    state.picture_files.push_back(FromUtf8(name));
  }
  state.task_pictures = {state.picture_files[0], state.picture_files[2]};
  TaskDialog model(state, false);
  TaskDialogWidget dialog(
      model, [&folder](const Text& file) { return folder.path() / PathFromUtf8(ToUtf8(file)); },
      [] { return false; }, [] {}, nullptr);
  dialog.Open();
  dialog.WaitForThumbnails();

  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(dialog.width(), screen.width());
  EXPECT_LE(dialog.height(), screen.height());
  EXPECT_EQ(dialog.font().pixelSize(), scale.FontPixels());
  auto* list = dialog.findChild<QListWidget*>("List1");
  ASSERT_NE(list, nullptr);
  EXPECT_GE(list->iconSize().height(), 8 * scale.FontPixels());
  for (int i = 0; i < list->count(); ++i) {
    // Each word fits under its picture.
    EXPECT_LE(list->fontMetrics().horizontalAdvance(list->item(i)->text()), list->gridSize().width());
  }
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    SCOPED_TRACE(button->text().toStdString());
    EXPECT_EQ(QFontInfo(button->font()).pixelSize(), scale.FontPixels());
    EXPECT_GE(button->width(), button->sizeHint().width()) << "the label is cut off";
    EXPECT_GE(button->height(), button->sizeHint().height());
  }
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
  }
  Keep(dialog, QStringLiteral("tasks"));
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The games' own font, as the program entry sets it.
  QFont font = QApplication::font();
  font.setFamilies({"IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "sans-serif"});
  QApplication::setFont(font);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
