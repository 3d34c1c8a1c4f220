#include "qt_shell.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

#include "browser.h"
#include "game_window.h"
#include "guide_window.h"
#include "learning_report.h"
#include "settings_dialog_widget.h"
#include "input_settings.h"
#include "japanese_ui.h"
#include "task_dialog_widget.h"

namespace kanae {

namespace {

// Long enough to be read by a teacher looking over; the child is not stopped.
constexpr int kBannerMilliseconds = 8000;

}  // namespace

QtShell::QtShell() = default;
QtShell::~QtShell() = default;

void QtShell::Attach(Lesson& lesson, Game& game, GameWindow& window) {
  lesson_ = &lesson;
  game_ = &game;
  window_ = &window;
  ShowPendingBanner();
}

ScreenSize QtShell::Screen() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect geometry = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  return {geometry.width() * 15, geometry.height() * 15};
}

void QtShell::ShowMessage(const Text& caption, const Text& text) {
  ShowNotice(window_, QString::fromStdU32String(caption), QString::fromStdU32String(text));
}

void QtShell::Repaint() {
  if (window_ != nullptr) window_->PaintNow();
}

void QtShell::Quit() { QApplication::quit(); }

// While the report is shown the lesson waits; it goes on when the teacher
// comes back to the game window: the window active again after the browser
// took it, or a click or key on it (the browser may have opened elsewhere).
class ReportReturn : public QObject {
 public:
  ReportReturn(QWidget* window, std::function<void()> back) : QObject(window), window_(window), back_(std::move(back)) {
    window->installEventFilter(this);
  }
  void Watch() {
    watching_ = true;
    left_ = false;
  }
  void Stop() { watching_ = false; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || !watching_) return false;
    switch (event->type()) {
      case QEvent::WindowDeactivate: left_ = true; return false;
      case QEvent::WindowActivate:
        if (left_) Back();
        return false;
      case QEvent::MouseButtonPress:
        // The click that brings the lesson back answers nothing.
        Back();
        return true;
      case QEvent::KeyPress: Back(); return false;
      default: return false;
    }
  }

 private:
  void Back() {
    watching_ = false;
    back_();
  }
  QWidget* window_;
  std::function<void()> back_;
  bool watching_ = false;
  bool left_ = false;
};

void QtShell::ShowLearningReport(const std::filesystem::path& lesson_folder, const std::filesystem::path& page) {
  if (lesson_ == nullptr) return;
  const report::ReportOutcome outcome = report::WriteLearningReport(lesson_folder, page, std::string());
  if (!outcome.ok) {
    lesson_->TellTeacher(FromUtf8(outcome.error));
    lesson_->LeaveReport();
    return;
  }
  const std::u8string name = page.u8string();
  const QString path = QString::fromUtf8(reinterpret_cast<const char*>(name.data()), static_cast<qsizetype>(name.size()));
  if (report_return_ == nullptr && window_ != nullptr) {
    report_return_ = new ReportReturn(window_, [this] {
      lesson_->LeaveReport();
      window_->Refresh();
    });
  }
  if (report_return_ != nullptr) report_return_->Watch();
  OpenInBrowser(path, [this, path](const QString& reason) {
    if (report_return_ != nullptr) report_return_->Stop();
    lesson_->TellTeacher((reason + QStringLiteral("\n学習記録のページはできています。ブラウザーで開いてください。\n") + path)
                             .toStdU32String());
    lesson_->LeaveReport();
    if (window_ != nullptr) window_->Refresh();
  }, browser_opener_);
}

void QtShell::ShowBanner(const Text& text) {
  banner_ = text;
  ShowPendingBanner();
}

void QtShell::ShowPendingBanner() {
  if (window_ == nullptr || banner_.empty()) return;
  // Across the top of the game, passed through by the pointer, gone by itself.
  auto* banner = new QLabel(QString::fromStdU32String(banner_), window_);
  banner_.clear();
  banner->setObjectName("banner");
  banner->setAttribute(Qt::WA_TransparentForMouseEvents);
  banner->setWordWrap(true);
  banner->setAlignment(Qt::AlignCenter);
  QFont font = banner->font();
  font.setPixelSize(std::max(14, window_->height() / 40));
  banner->setFont(font);
  banner->setStyleSheet(QStringLiteral("QLabel { background: rgba(0, 0, 0, 190); color: white; padding: %1px; }")
                            .arg(font.pixelSize() / 2));
  banner->setFixedWidth(window_->width());
  banner->adjustSize();
  banner->move(0, 0);
  banner->show();
  banner->raise();
  QTimer::singleShot(kBannerMilliseconds, banner, &QObject::deleteLater);
}

void QtShell::ReturnToGame(DialogKind from) {
  if (ends_with_dialog_) {
    // Ends as Esc does: the exit traced, nothing left running.
    lesson_->OnKey(static_cast<int>(Key::kEscape));
    return;
  }
  window_->raise();
  window_->activateWindow();
  lesson_->LeaveDialog(from);
  window_->Refresh();
}

void QtShell::OpenDialog(DialogKind kind) {
  if (lesson_ == nullptr) return;
  if (kind == DialogKind::kGuide) {
    if (guide_ == nullptr) {
      guide_ = new GuideWindow(window_);
      // Every way out (閉じる, Esc, the title bar's ×) goes back to the lesson.
      QObject::connect(guide_, &QDialog::finished, guide_, [this] { ReturnToGame(DialogKind::kGuide); });
    }
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
    return;
  }
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
              case TaskDialog::Decision::kTooFewPictures:
              case TaskDialog::Decision::kTooFewInitials:
                // Every refusal says why: what is marked and what the game needs.
                ShowNotice(task_dialog_, QString::fromStdU32String(kTaskDialogCaption),
                           QString::fromStdU32String(task_model_->RefusalText()));
                return false;
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
