// かなえの使い方 names every key the games act on and every item of every
// settings dialog, in the page built into the programs and the one installed;
// and it opens in large type with its pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <functional>

#include "games/card_picking/settings.h"
#include "games/initial_letter/settings.h"
#include "games/kana_catching/settings.h"
#include "games/name_choice/settings.h"
#include "games/picture_card/settings.h"
#include "games/word_building/settings.h"
#include "input_settings.h"
#include "platform/qt/accepted_keys.h"
#include "platform/qt/guide_window.h"

namespace kanae {
namespace {

QString Read(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return QString::fromUtf8(file.readAll());
}

QString BuiltInGuide() { return Read(QStringLiteral(":/guide/kanae-guide.html")); }

TEST(Guide, TheProgramsCarryThePageThatIsInstalled) {
  const QString built_in = BuiltInGuide();
  EXPECT_FALSE(built_in.isEmpty());
  EXPECT_EQ(built_in, Read(QStringLiteral(KANAE_GUIDE_SOURCE)));
  EXPECT_TRUE(built_in.contains(QStringLiteral("<title>かなえの使い方</title>")));
}

TEST(Guide, NamesEveryKeyTheGamesActOn) {
  const QString guide = BuiltInGuide();
  for (const AcceptedKey& key : AcceptedKeys()) {
    SCOPED_TRACE(key.guide_name);
    EXPECT_TRUE(guide.contains(QStringLiteral("<kbd>%1</kbd>").arg(QString::fromUtf8(key.guide_name))));
    // A teacher's key is in the table of keys and in the key lock's list.
    if (key.teacher) {
      const QString row = QStringLiteral("<tr><td><kbd>%1</kbd></td>").arg(QString::fromUtf8(key.guide_name));
      EXPECT_TRUE(guide.contains(row)) << "no row of its own in the table of keys";
    }
  }
}

struct NamedLayout {
  const char* name;
  std::function<SettingsDialogLayout()> layout;
};

template <typename SettingsT>
NamedLayout Make(const char* name, SettingsDialogLayout (*layout)(SettingsT&)) {
  auto settings = std::make_shared<SettingsT>();
  return {name, [settings, layout] { return layout(*settings); }};
}

TEST(Guide, ExplainsEveryGroupAndOptionOfEverySettingsDialog) {
  const QString guide = BuiltInGuide();
  const NamedLayout layouts[] = {
      Make("Oltar", initial_letter::DialogLayout), Make("Pemble", kana_catching::DialogLayout),
      Make("Suvan", card_picking::DialogLayout),   Make("Dabrel", word_building::DialogLayout),
      Make("Quoma", name_choice::DialogLayout),    Make("Vintal", picture_card::DialogLayout),
      Make("input", InputDialogLayout),
  };
  for (const NamedLayout& named : layouts) {
    SCOPED_TRACE(named.name);
    const SettingsDialogLayout layout = named.layout();
    for (const OptionFrame& frame : layout.frames) {
      const QString caption = QString::fromStdU32String(frame.caption);
      SCOPED_TRACE(caption.toStdString());
      // A row of a settings table: the group, its options, what it means.
      EXPECT_TRUE(guide.contains(QStringLiteral("<tr><td>%1</td>").arg(caption)));
      for (const OptionButton& option : frame.options) {
        const QString quoted = QStringLiteral("「%1」").arg(QString::fromStdU32String(option.caption));
        EXPECT_TRUE(guide.contains(quoted)) << quoted.toStdString();
      }
    }
  }
}

TEST(Guide, EveryPictureItShowsIsBuiltIn) {
  const QString guide = BuiltInGuide();
  const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
  int pictures = 0;
  for (auto match = image.globalMatch(guide); match.hasNext();) {
    const QString source = match.next().captured(1);
    SCOPED_TRACE(source.toStdString());
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/guide/") + source));
    ++pictures;
  }
  EXPECT_GE(pictures, 4) << "the menu, a game, a settings dialog and the task selection";
}

TEST(Guide, OpensInLargeTypeWithItsPictures) {
  GuideWindow guide(nullptr);
  guide.show();
  EXPECT_GE(guide.Browser()->font().pixelSize(), 20);
  EXPECT_EQ(guide.Browser()->documentTitle(), QStringLiteral("かなえの使い方"));
  EXPECT_TRUE(guide.Browser()->toPlainText().contains(QStringLiteral("先生のキー")));
  if (const QString shots = qEnvironmentVariable("KANAE_SCREENSHOT_DIR"); !shots.isEmpty()) {
    guide.grab().save(shots + "/guide.png");
  }
}

}  // namespace
}  // namespace kanae

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
