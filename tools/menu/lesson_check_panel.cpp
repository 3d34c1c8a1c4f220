#include "lesson_check_panel.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "learning_record.h"
#include "lesson.h"

namespace kanae::menu {

namespace {

std::filesystem::path PathOf(const QString& folder) { return PathFromUtf8(folder.toStdString()); }

}  // namespace

LessonCheckPanel::LessonCheckPanel(QString sound_folder, ReadingGuess guess, QWidget* parent)
    : QFrame(parent),
      sound_folder_(std::move(sound_folder)),
      guess_(std::move(guess)),
      games_(new QLabel(this)),
      notes_(new QListWidget(this)) {
  setObjectName("lesson_check");
  games_->setObjectName("lesson_check_games");
  games_->setWordWrap(true);
  notes_->setObjectName("lesson_check_notes");
  notes_->setWordWrap(true);
  notes_->setSelectionMode(QAbstractItemView::NoSelection);
  notes_->setFocusPolicy(Qt::NoFocus);
  // A note stands out on the menu's cream background without alarming.
  notes_->setStyleSheet(QStringLiteral("QListWidget { background: #fff4c2; border: 1px solid #d9b84a; }"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(games_);
  column->addWidget(notes_);
}

void LessonCheckPanel::Check(const QString& folder) {
  const LessonCheck check = CheckLesson(PathOf(folder), PathOf(sound_folder_), guess_);
  QStringList games;
  for (const Text& line : DescribeGames(check)) games << QString::fromStdU32String(line);
  games_->setText(QStringLiteral("絵 %1枚　").arg(check.pictures.size()) + games.join(QStringLiteral("　／　")));

  notes_->clear();
  const RecordPlace record = RecordPlaceFor(PathOf(folder));
  if (record.in_user_folder) {
    notes_->addItem(QStringLiteral("このフォルダには書き込めないので、学習記録は %1 に保存します。")
                        .arg(QDir::toNativeSeparators(QString::fromStdString(PathToUtf8(record.folder)))));
  }
  for (const Text& line : DescribeProblems(check)) notes_->addItem(QString::fromStdU32String(line));
  notes_->setVisible(notes_->count() > 0);
  // Up to four notes in view; more scroll.
  const int rows = std::min(notes_->count(), 4);
  notes_->setFixedHeight(rows * (notes_->fontMetrics().height() + 6) + 8);
}

QString LessonCheckPanel::GamesLine() const { return games_->text(); }

QStringList LessonCheckPanel::Notes() const {
  QStringList notes;
  for (int i = 0; i < notes_->count(); ++i) notes << notes_->item(i)->text();
  return notes;
}

}  // namespace kanae::menu
