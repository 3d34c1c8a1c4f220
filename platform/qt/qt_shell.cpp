#include "qt_shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

#include "game_window.h"
#include "learning_report.h"
#include "settings_dialog_widget.h"
#include "input_settings.h"
#include "task_dialog_widget.h"

namespace kanae {

QtShell::QtShell() = default;
QtShell::~QtShell() = default;

void QtShell::Attach(Lesson& lesson, Game& game, GameWindow& window) {
  lesson_ = &lesson;
  game_ = &game;
  window_ = &window;
}

ScreenSize QtShell::Screen() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect geometry = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  return {geometry.width() * 15, geometry.height() * 15};
}

void QtShell::ShowMessage(const Text& caption, const Text& text) {
  QMessageBox box(QMessageBox::Warning, QString::fromStdU32String(caption), QString::fromStdU32String(text),
                  QMessageBox::Ok, window_);
  box.exec();
}

void QtShell::Repaint() {
  if (window_ != nullptr) window_->PaintNow();
}

void QtShell::Quit() { QApplication::quit(); }

void QtShell::ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) {
  if (lesson_ == nullptr) return;
  const report::ReportOutcome outcome = report::WriteLearningReport(lesson_folder, page, std::string());
  if (!outcome.ok) {
    lesson_->TellTeacher(FromUtf8(outcome.error));
    return;
  }
  const std::u8string name = page.u8string();
  const QString path = QString::fromUtf8(reinterpret_cast<const char*>(name.data()), static_cast<qsizetype>(name.size()));
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    lesson_->TellTeacher(U"学習記録のページを作りました。ブラウザーで開いてください。\n" + path.toStdU32String());
  }
}

void QtShell::ReturnToGame(DialogKind from) {
  window_->raise();
  window_->activateWindow();
  lesson_->LeaveDialog(from);
  window_->Refresh();
}

void QtShell::OpenDialog(DialogKind kind) {
  if (lesson_ == nullptr) return;
  if (kind == DialogKind::kInput) {
    if (input_dialog_ == nullptr) {
      input_model_ = std::make_unique<SettingsDialog>(InputDialogLayout(lesson_->input), InputSettingSlots(lesson_->input));
      input_dialog_ = new SettingsDialogWidget(
          *input_model_,
          [this] {
            const auto outcome = input_model_->Apply(lesson_->PicturePath(kInputSettingsFile));
            if (outcome.applied == SettingsDialog::Applied::kSaveFailed) {
              lesson_->TellTeacher(U"入力方法の設定を保存できませんでした。今回はこの設定で続けます。\n" +
                                   FromUtf8(outcome.write.error));
            }
          },
          [this] { ReturnToGame(DialogKind::kInput); }, window_);
    }
    input_dialog_->Open();
    return;
  }
  if (kind == DialogKind::kSettings) {
    if (settings_dialog_ == nullptr) {
      settings_model_ = std::make_unique<SettingsDialog>(game_->SettingsDialog(), game_->Settings());
      settings_dialog_ = new SettingsDialogWidget(
          *settings_model_,
          [this] {
            const auto file = lesson_->PicturePath(FromUtf8(game_->Info().settings_file));
            const auto outcome = settings_model_->Apply(file);
            if (outcome.applied == SettingsDialog::Applied::kSaveFailed) {
              lesson_->TellTeacher(U"設定を保存できませんでした。今回はこの設定で続けます。\n" +
                                   FromUtf8(outcome.write.error));
            }
          },
          [this] { ReturnToGame(DialogKind::kSettings); }, window_);
    }
    settings_dialog_->Open();
  } else {
    if (task_dialog_ == nullptr) {
      task_model_ = std::make_unique<TaskDialog>(lesson_->state, game_->Info().selection_needs_four_initials);
      task_dialog_ = new TaskDialogWidget(
          *task_model_, [this](const Text& file) { return lesson_->PicturePath(file); },
          [this] {
            const auto outcome = task_model_->Decide(lesson_->PicturePath(U"Fname.txt"));
            switch (outcome.decision) {
              case TaskDialog::Decision::kAccepted: return true;
              case TaskDialog::Decision::kTooFewPictures: return false;
              case TaskDialog::Decision::kTooFewInitials: {
                QMessageBox box(QMessageBox::Warning, QString::fromStdU32String(kTaskDialogCaption),
                                QString::fromStdU32String(kTooFewInitials), QMessageBox::Ok, task_dialog_);
                box.exec();
                return false;
              }
              case TaskDialog::Decision::kSaveFailed:
                lesson_->TellTeacher(U"課題の選択を保存できませんでした。今回はこの選択で続けます。\n" +
                                     FromUtf8(outcome.write.error));
                return true;
            }
            return true;
          },
          [this] { ReturnToGame(DialogKind::kTasks); }, window_);
    }
    task_dialog_->Open();
  }
}

}  // namespace kanae
