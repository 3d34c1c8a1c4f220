#include "class_editor.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace kanae::menu {

namespace {

std::filesystem::path PathOf(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

QString QtPath(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), static_cast<qsizetype>(u8.size()));
}

QIcon LookOf(const Child& child, const QString& folder, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  if (child.colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(static_cast<QRgb>(*child.colour)));
    painter.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), size / 8.0, size / 8.0);
  } else if (!child.picture.empty()) {
    const QString path = QString::fromStdString(child.picture);
    const QPixmap picture(QDir::isAbsolutePath(path) ? path : QDir(folder).filePath(path));
    if (!picture.isNull()) {
      painter.drawPixmap(0, 0, picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
  }
  return QIcon(pixmap);
}

}  // namespace

ClassEditor::ClassEditor(const QString& folder, QWidget* parent) : QDialog(parent), folder_(folder) {
  setObjectName("class_editor");
  setWindowTitle(QStringLiteral("クラスの名簿"));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screen_height = screen != nullptr ? screen->geometry().height() : 768;
  QFont text = font();
  text.setPixelSize(std::max(16, screen_height / 45));
  setFont(text);

  list_ = new QListWidget(this);
  list_->setObjectName("children");
  list_->setIconSize(QSize(text.pixelSize() * 2, text.pixelSize() * 2));
  name_ = new QLineEdit(this);
  name_->setObjectName("name");
  name_->setPlaceholderText(QStringLiteral("名前（どの文字でも）"));
  name_->setMaxLength(static_cast<int>(kLongestChildName));
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row < static_cast<int>(children_.size())) name_->setText(QString::fromStdU32String(children_[static_cast<std::size_t>(row)].name));
  });

  const auto button = [&](const char* name, const QString& caption, auto action) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumHeight(text.pixelSize() * 2);
    connect(b, &QPushButton::clicked, this, action);
    return b;
  };
  auto* buttons = new QGridLayout;
  buttons->addWidget(button("add", QStringLiteral("追加"), [this] { Add(); }), 0, 0);
  buttons->addWidget(button("rename", QStringLiteral("名前を変える"), [this] { Rename(); }), 0, 1);
  buttons->addWidget(button("picture", QStringLiteral("絵を選ぶ…"), [this] { ChoosePicture(); }), 1, 0);
  buttons->addWidget(button("colour", QStringLiteral("色を選ぶ…"), [this] { ChooseColour(); }), 1, 1);
  buttons->addWidget(button("up", QStringLiteral("上へ"), [this] { Move(-1); }), 2, 0);
  buttons->addWidget(button("down", QStringLiteral("下へ"), [this] { Move(1); }), 2, 1);
  buttons->addWidget(button("remove", QStringLiteral("名簿から外す"), [this] { Remove(); }), 3, 0, 1, 2);

  place_ = new QLabel(this);
  place_->setObjectName("place");
  place_->setWordWrap(true);
  notice_ = new QLabel(this);
  notice_->setObjectName("notice");
  notice_->setWordWrap(true);
  notice_->setStyleSheet(QStringLiteral("color:#a03000"));
  auto* place_row = new QHBoxLayout;
  place_row->addWidget(button("choose_place", QStringLiteral("名簿のフォルダを選ぶ…"), [this] { ChooseFolder(false); }));
  place_row->addWidget(button("own_place", QStringLiteral("いつもの場所"), [this] { ChooseFolder(true); }));

  save_ = button("save", QStringLiteral("保存して閉じる"), [this] {
    if (Save()) accept();
  });
  auto* cancel = button("cancel", QStringLiteral("キャンセル"), [this] { reject(); });
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(cancel);
  bottom->addWidget(save_);

  auto* editing = new QVBoxLayout;
  editing->addWidget(name_);
  editing->addLayout(buttons);
  editing->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addWidget(list_, 1);
  middle->addLayout(editing);
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(
      QStringLiteral("ゲームの前に、子どもが自分の絵や色を選びます。名前は学習記録に残り、子どもごとの記録が見られます。"), this));
  column->addLayout(middle, 1);
  column->addWidget(place_);
  column->addLayout(place_row);
  column->addWidget(notice_);
  column->addLayout(bottom);
  resize(screen_height * 6 / 5, screen_height * 3 / 4);

  ask_picture_ = [this](const QString& start) {
    return QFileDialog::getOpenFileName(this, QStringLiteral("子どもの絵を選んでください"), start,
                                        QStringLiteral("絵 (*.jpg *.JPG *.jpeg *.png *.gif *.bmp)"));
  };
  ask_folder_ = [this](const QString& start) {
    return QFileDialog::getExistingDirectory(this, QStringLiteral("名簿をしまうフォルダを選んでください"), start);
  };
  ask_colour_ = [this]() -> std::optional<std::uint32_t> {
    const QColor colour = QColorDialog::getColor(Qt::white, this, QStringLiteral("色を選んでください"));
    if (!colour.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(colour.rgb() & 0xFFFFFF);
  };
  Load();
}

void ClassEditor::SetAskers(Ask picture, Ask folder, AskColour colour) {
  ask_picture_ = std::move(picture);
  ask_folder_ = std::move(folder);
  ask_colour_ = std::move(colour);
}

void ClassEditor::Load() {
  const std::filesystem::path file = ClassListFile(PathOf(folder_));
  const ClassList list = LoadClassList(file);
  children_ = list.children;
  load_ = list.load;
  place_->setText(QStringLiteral("名簿のファイル：") + QDir::toNativeSeparators(QtPath(file)));
  save_->setEnabled(load_ != ClassListLoad::kUnreadable);
  if (load_ == ClassListLoad::kUnreadable) {
    notice_->setText(QStringLiteral("名簿のファイルを読めませんでした（") + QString::fromStdString(list.error) +
                     QStringLiteral("）。ファイルはそのままにして、上書きしません。"));
  } else if (load_ == ClassListLoad::kRepaired) {
    notice_->setText(QString::number(list.skipped) +
                     QStringLiteral("行を読み飛ばしました（空の名前、長すぎる名前、同じ名前など）。保存すると、元のファイルは「") +
                     QString::fromUtf8(kClassListName) + QStringLiteral(".bak」として残します。"));
  } else {
    notice_->clear();
  }
  Refill(children_.empty() ? -1 : 0);
}

void ClassEditor::Refill(int select) {
  list_->clear();
  const int icon = list_->iconSize().height();
  const QString folder = QtPath(ClassListFile(PathOf(folder_)).parent_path());
  for (const Child& child : children_) {
    list_->addItem(new QListWidgetItem(LookOf(child, folder, icon), QString::fromStdU32String(child.name)));
  }
  if (select >= 0 && select < list_->count()) list_->setCurrentRow(select);
}

int ClassEditor::Current() const {
  const int row = list_->currentRow();
  return row >= 0 && row < static_cast<int>(children_.size()) ? row : -1;
}

void ClassEditor::Tell(const QString& text) { notice_->setText(text); }

void ClassEditor::Add() {
  const Text name = CleanChildName(name_->text().toStdU32String());
  if (name.empty()) return Tell(QStringLiteral("名前を入れてから「追加」を押してください。"));
  if (children_.size() >= kMostChildren) return Tell(QStringLiteral("名簿には") + QString::number(kMostChildren) + QStringLiteral("人までです。"));
  for (const Child& child : children_) {
    if (child.name == name) return Tell(QStringLiteral("同じ名前の子がもういます。"));
  }
  children_.push_back({name, {}, std::nullopt});
  notice_->clear();
  Refill(static_cast<int>(children_.size()) - 1);
  // Selecting the new child shows its name for renaming: the next name starts afresh.
  name_->clear();
}

void ClassEditor::Rename() {
  const int row = Current();
  if (row < 0) return;
  const Text name = CleanChildName(name_->text().toStdU32String());
  if (name.empty()) return Tell(QStringLiteral("新しい名前を入れてください。"));
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (static_cast<int>(i) != row && children_[i].name == name) return Tell(QStringLiteral("同じ名前の子がもういます。"));
  }
  children_[static_cast<std::size_t>(row)].name = name;
  Refill(row);
}

void ClassEditor::Remove() {
  const int row = Current();
  if (row < 0) return;
  children_.erase(children_.begin() + row);
  Refill(std::min(row, static_cast<int>(children_.size()) - 1));
}

void ClassEditor::Move(int by) {
  const int row = Current();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= static_cast<int>(children_.size())) return;
  std::swap(children_[static_cast<std::size_t>(row)], children_[static_cast<std::size_t>(to)]);
  Refill(to);
}

void ClassEditor::ChoosePicture() {
  const int row = Current();
  if (row < 0 || !ask_picture_) return;
  const QString file = ask_picture_(QDir::homePath());
  if (file.isEmpty()) return;
  Child& child = children_[static_cast<std::size_t>(row)];
  child.picture = file.toStdString();
  child.colour.reset();
  Refill(row);
}

void ClassEditor::ChooseColour() {
  const int row = Current();
  if (row < 0 || !ask_colour_) return;
  const std::optional<std::uint32_t> colour = ask_colour_();
  if (!colour) return;
  Child& child = children_[static_cast<std::size_t>(row)];
  child.colour = colour;
  child.picture.clear();
  Refill(row);
}

void ClassEditor::ChooseFolder(bool own) {
  QString folder;
  if (!own) {
    if (!ask_folder_) return;
    folder = ask_folder_(folder_.isEmpty() ? QDir::homePath() : folder_);
    if (folder.isEmpty()) return;
  }
  // The list found there (a colleague's, on a share) is the one edited from now on.
  folder_ = folder;
  Load();
}

bool ClassEditor::Save() {
  const std::filesystem::path file = ClassListFile(PathOf(folder_));
  const WriteOutcome outcome = SaveClassList(file, children_, load_);
  if (!outcome.ok) {
    Tell(QStringLiteral("名簿を保存できませんでした。\n") + QString::fromStdString(outcome.error));
    return false;
  }
  load_ = ClassListLoad::kRead;
  return true;
}

}  // namespace kanae::menu
