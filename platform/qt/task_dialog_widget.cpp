#include "task_dialog_widget.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "dialog_scale.h"
#include "lesson.h"
#include "thumbnail_loader.h"

namespace kanae {

namespace {

// The dialog's size at the smallest scale, in pixels.
constexpr QSize kBaseSize(640, 560);

// A square the size of a thumbnail: blank while the picture loads, with a
// question mark when it cannot be read.
QPixmap Placeholder(QSize size, bool unreadable) {
  QPixmap pixmap(size);
  pixmap.fill(QColor(235, 235, 235));
  QPainter painter(&pixmap);
  painter.setPen(QPen(QColor(170, 170, 170), 2));
  painter.drawRect(QRect(QPoint(1, 1), size - QSize(2, 2)));
  if (unreadable) {
    QFont font = painter.font();
    font.setPixelSize(size.height() / 3);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("？"));
  }
  return pixmap;
}

// The picture centred on a square, so every cell of the grid lines up.
QPixmap Framed(const QImage& image, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QSize fitted = image.size().scaled(size, Qt::KeepAspectRatio);
  painter.drawImage(QRect(QPoint((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2), fitted),
                    image);
  return pixmap;
}

// Marked pictures get a thick frame and a tick, so a teacher sees the
// selection at a glance and not only by a tint.
class MarkDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int pad = Padding(option.decorationSize);
    return QStyledItemDelegate::sizeHint(option, index) + QSize(2 * pad, 2 * pad);
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    // The picture and word stand inside the frame, never under it.
    const int pad = Padding(option.decorationSize);
    QStyleOptionViewItem inner = option;
    inner.rect = option.rect.adjusted(pad, pad, -pad, -pad);
    QStyledItemDelegate::paint(painter, inner, index);
    if (!(option.state & QStyle::State_Selected)) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const int line = std::max(2, pad / 2);
    const QColor mark(0, 120, 215);
    painter->setPen(QPen(mark, line));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(line / 2, line / 2, -line / 2 - 1, -line / 2 - 1));
    const int badge = std::max(18, option.decorationSize.width() / 5);
    const QRect circle(option.rect.right() - badge - pad, option.rect.top() + pad, badge, badge);
    painter->setBrush(mark);
    painter->setPen(Qt::NoPen);
    painter->drawEllipse(circle);
    painter->setPen(QPen(Qt::white, std::max(2, badge / 8), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF tick[] = {circle.topLeft() + QPointF(badge * 0.25, badge * 0.52),
                            circle.topLeft() + QPointF(badge * 0.43, badge * 0.70),
                            circle.topLeft() + QPointF(badge * 0.76, badge * 0.32)};
    painter->drawPolyline(tick, 3);
    painter->restore();
  }

 private:
  static int Padding(QSize thumbnail) { return std::max(4, thumbnail.width() / 24); }
};

// The same picture whether marked or not: the mark is the frame and tick,
// not a tint over the picture.
QIcon Untinted(const QPixmap& pixmap) {
  QIcon icon;
  icon.addPixmap(pixmap, QIcon::Normal);
  icon.addPixmap(pixmap, QIcon::Selected);
  return icon;
}

}  // namespace

TaskDialogWidget::TaskDialogWidget(TaskDialog& model, PicturePath picture_path, std::function<bool()> on_decide,
                                   std::function<void()> on_leave, QWidget* parent)
    : QDialog(parent), model_(model), picture_path_(std::move(picture_path)), list_(new QListWidget(this)) {
  const DialogScale scale = DialogScale::ForPrimaryScreen();
  setWindowTitle(QString::fromStdU32String(kTaskDialogCaption));
  setModal(false);
  setFont(scale.Font(font()));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize room = screen != nullptr ? screen->availableGeometry().size() * 0.9 : kBaseSize;
  resize((kBaseSize * scale.Factor()).boundedTo(room));

  const int edge = scale.FontPixels() * 8;
  thumbnail_size_ = QSize(edge, edge);
  thumbnails_ = new ThumbnailLoader(
      thumbnail_size_, [this](const QString& path, const QImage& image) { ShowThumbnail(path, image); }, this);

  auto* heading = new QLabel(QStringLiteral("課題選択画面"), this);
  // Dialog widgets keep their object names: tools that drive the dialogs from
  // outside find them by these names.
  heading->setObjectName("Label1");
  QFont bold = heading->font();
  bold.setBold(true);
  bold.setPixelSize(bold.pixelSize() * 13 / 10);
  heading->setFont(bold);
  auto* hint = new QLabel(QStringLiteral("出題する絵をクリックして選んでください。"), this);

  list_->setObjectName("List1");
  list_->setViewMode(QListView::IconMode);
  list_->setMovement(QListView::Static);
  list_->setResizeMode(QListView::Adjust);
  list_->setWrapping(true);
  list_->setWordWrap(true);
  list_->setUniformItemSizes(true);
  list_->setIconSize(thumbnail_size_);
  const int text_height = list_->fontMetrics().height();
  list_->setGridSize(QSize(edge + edge / 3, edge + text_height * 2 + edge / 4));
  list_->setSpacing(0);
  list_->setItemDelegate(new MarkDelegate(list_));
  list_->setSelectionMode(QAbstractItemView::MultiSelection);  // a click or Space toggles a mark
  count_ = new QLabel(this);
  count_->setObjectName("marked_count");
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
    for (int i = 0; i < list_->count(); ++i) model_.SetMark(static_cast<std::size_t>(i), list_->item(i)->isSelected());
    count_->setText(QString::fromStdU32String(model_.CountLine()));
  });

  // The style's button margins and the layout's spacing are in fixed pixels;
  // they grow with the text here, or a 4K screen gets cramped buttons.
  const int text_pixels = scale.FontPixels();
  auto make_button = [this, text_pixels](const char* name, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumSize(button->fontMetrics().horizontalAdvance(text) + text_pixels * 2, text_pixels * 2);
    return button;
  };
  decide_ = make_button("Command1", QStringLiteral("決定"));
  cancel_ = make_button("Command2", QStringLiteral("キャンセル"));
  QPushButton* all = make_button("Command3", QStringLiteral("全選択"));
  QPushButton* none = make_button("Command4", QStringLiteral("全解除"));
  decide_->setDefault(true);  // Enter
  connect(all, &QPushButton::clicked, this, [this] {
    model_.SelectAll();
    show_model();
  });
  connect(none, &QPushButton::clicked, this, [this] {
    model_.ClearAll();
    show_model();
  });
  connect(decide_, &QPushButton::clicked, this, [this, on_decide] {
    if (on_decide()) accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  // Every way out (決定, キャンセル, Esc, the title bar's ×) ends here.
  connect(this, &QDialog::finished, this, [on_leave] { on_leave(); });

  auto* marks = new QHBoxLayout;
  marks->addWidget(all);
  marks->addWidget(none);
  marks->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cancel_);
  buttons->addStretch();
  buttons->addWidget(decide_);
  auto* column = new QVBoxLayout(this);
  const int gap = text_pixels * 3 / 4;
  column->setContentsMargins(gap, gap, gap, gap);
  column->setSpacing(gap / 2);
  marks->setSpacing(gap);
  column->addWidget(heading);
  column->addWidget(hint);
  column->addWidget(list_, 1);
  column->addWidget(count_);
  column->addLayout(marks);
  column->addLayout(buttons);
}

TaskDialogWidget::~TaskDialogWidget() = default;

void TaskDialogWidget::Open() {
  // Filled from the lesson each time the teacher opens it, not each time it
  // regains focus: a message box closing over it must not undo the marks.
  model_.Activate();
  show_model();
  show();
  raise();
  activateWindow();
  list_->setFocus();
}

void TaskDialogWidget::show_model() {
  const QSignalBlocker block(list_);
  if (list_->count() != static_cast<int>(model_.Entries().size())) {
    list_->clear();
    items_by_path_.clear();
    const QPixmap loading = Placeholder(thumbnail_size_, false);
    for (const Text& entry : model_.Entries()) {
      const QString file = QString::fromStdU32String(entry);
      auto* item = new QListWidgetItem(QFileInfo(file).completeBaseName(), list_);
      item->setToolTip(file);
      item->setData(Qt::UserRole, file);
      item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
      const QString path = QString::fromStdString(PathToUtf8(picture_path_(entry)));
      items_by_path_.insert(path, item);
      QImage thumbnail;
      if (thumbnails_->Request(path, thumbnail)) {
        ShowThumbnail(path, thumbnail);
      } else {
        item->setIcon(Untinted(loading));
      }
    }
    if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
  }
  for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(model_.Marks()[static_cast<std::size_t>(i)]);
  count_->setText(QString::fromStdU32String(model_.CountLine()));
}

void TaskDialogWidget::ShowThumbnail(const QString& path, const QImage& image) {
  QListWidgetItem* item = items_by_path_.value(path);
  if (item == nullptr) return;
  item->setIcon(Untinted(image.isNull() ? Placeholder(thumbnail_size_, true) : Framed(image, thumbnail_size_)));
}

void TaskDialogWidget::WaitForThumbnails() {
  thumbnails_->WaitForAll();
  QCoreApplication::sendPostedEvents(thumbnails_);
}

int TaskDialogWidget::ThumbnailsPending() const { return thumbnails_->Pending(); }

void TaskDialogWidget::keyPressEvent(QKeyEvent* event) {
  // Esc is キャンセル, with everything that button does.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    cancel_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kanae
