#include "lesson_folder_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QScreen>

#include "lesson.h"
#include "lesson_check.h"
#include "picture_library.h"

namespace kanae::launcher {

namespace {

// Under the list: whether the folder in view (or the one highlighted) holds
// pictures, how many, and the first of them small, so a teacher sees which
// folder is a lesson before choosing it.
class FolderPreview : public QWidget {
 public:
  FolderPreview(int edge, QWidget* parent) : QWidget(parent), edge_(edge) {
    setObjectName("folder_preview");
    thumbnail_ = new QLabel(this);
    thumbnail_->setObjectName("folder_preview_picture");
    thumbnail_->setFixedSize(edge, edge);
    thumbnail_->setAlignment(Qt::AlignCenter);
    text_ = new QLabel(this);
    text_->setObjectName("folder_preview_text");
    text_->setWordWrap(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(thumbnail_);
    row->addWidget(text_, 1);
  }
  void Show(const QString& folder) {
    const std::vector<Text> pictures = ListPictureFolder(PathFromUtf8(folder.toStdString())).pictures;
    const QString name = QFileInfo(folder).fileName().isEmpty() ? folder : QFileInfo(folder).fileName();
    if (pictures.empty()) {
      text_->setText(QStringLiteral("「%1」には絵がありません（使える形式：%2）")
                         .arg(name, QString::fromStdU32String(kPictureFormats)));
      thumbnail_->clear();
      return;
    }
    text_->setText(QStringLiteral("「%1」：絵 %2枚（%3 など）")
                       .arg(name)
                       .arg(pictures.size())
                       .arg(QString::fromStdU32String(pictures.front())));
    QImageReader reader(QDir(folder).filePath(QString::fromStdU32String(pictures.front())));
    reader.setAutoTransform(true);
    if (reader.size().isValid()) reader.setScaledSize(reader.size().scaled(edge_, edge_, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
      thumbnail_->setText(QStringLiteral("？"));
    } else {
      thumbnail_->setPixmap(QPixmap::fromImage(image));
    }
  }

 private:
  int edge_;
  QLabel* thumbnail_;
  QLabel* text_;
};

}  // namespace

QFileDialog* MakeLessonFolderDialog(QWidget* parent, const QString& start) {
  auto* dialog = new QFileDialog(parent, QStringLiteral("レッスンのフォルダを選んでください"), start);
  dialog->setObjectName("lesson_folder_dialog");
  // Qt's own dialog, not the desktop's: only it can be made read-only, and
  // it follows the program's Japanese translation and font.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::ReadOnly);
  dialog->setFileMode(QFileDialog::Directory);
  // The pictures stay listed (greyed, not choosable), so the teacher sees
  // which folder holds a lesson before choosing it.
  dialog->setNameFilter(QStringLiteral("レッスンの絵 (*.jpg *.gif *.bmp *.JPG *.GIF *.BMP)"));
  dialog->setLabelText(QFileDialog::Accept, QStringLiteral("このフォルダを使う"));
  dialog->setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
  dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("場所："));
  dialog->setLabelText(QFileDialog::FileName, QStringLiteral("フォルダ："));
  dialog->setLabelText(QFileDialog::FileType, QStringLiteral("表示："));
  dialog->setViewMode(QFileDialog::List);

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize room = screen != nullptr ? screen->availableGeometry().size() : QSize(1024, 768);
  QFont font = dialog->font();
  font.setPixelSize(std::max(16, room.height() / 45));
  dialog->setFont(font);
  dialog->resize(room * 0.8);

  auto* preview = new FolderPreview(font.pixelSize() * 5, dialog);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
    grid->addWidget(preview, grid->rowCount(), 0, 1, grid->columnCount());
  }
  const auto show = [dialog, preview](const QString& path) {
    preview->Show(QFileInfo(path).isDir() ? path : dialog->directory().absolutePath());
  };
  QObject::connect(dialog, &QFileDialog::currentChanged, preview, show);
  QObject::connect(dialog, &QFileDialog::directoryEntered, preview, show);
  show(start);
  return dialog;
}

QString ChooseLessonFolder(QWidget* parent, const QString& start) {
  QFileDialog* dialog = MakeLessonFolderDialog(parent, start);
  QString chosen;
  if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) chosen = dialog->selectedFiles().first();
  delete dialog;
  return chosen;
}

}  // namespace kanae::launcher
