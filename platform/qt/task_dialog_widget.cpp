#include "task_dialog_widget.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "dialog_scale.h"
#include "lesson.h"
#include "thumbnail_loader.h"

namespace kanae {

namespace {

// Set on an item once its thumbnail is in, and the picture's file.
constexpr int kThumbnailShownRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;

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
  loading_icon_ = Untinted(Placeholder(thumbnail_size_, false));
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
  loading_ = new QLabel(this);
  loading_->setObjectName("thumbnail_progress");
  loading_->hide();
  in_sight_timer_.setSingleShot(true);
  in_sight_timer_.setInterval(0);
  connect(&in_sight_timer_, &QTimer::timeout, this, [this] { RequestThumbnailsInSight(); });
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { in_sight_timer_.start(); });
  list_->viewport()->installEventFilter(this);
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
  auto* under_list = new QHBoxLayout;
  under_list->addWidget(count_);
  under_list->addStretch();
  under_list->addWidget(loading_);
  column->addLayout(under_list);
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
    thumbnails_shown_ = 0;
    // Only names here: the thumbnails follow for what is in sight, so a folder
    // of thousands of pictures opens as fast as one of ten.
    for (const Text& entry : model_.Entries()) {
      const QString file = QString::fromStdU32String(entry);
      auto* item = new QListWidgetItem(QFileInfo(file).completeBaseName(), list_);
      item->setToolTip(file);
      item->setData(Qt::UserRole, file);
      item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
      const QString path = QString::fromStdString(PathToUtf8(picture_path_(entry)));
      item->setData(kPathRole, path);
      item->setIcon(loading_icon_);
      items_by_path_.insert(path, item);
    }
    if (list_->count() > 0) list_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    in_sight_timer_.start();
  }
  // One selection for all the marks: marking item by item costs a pass over
  // the selection each, far too long for thousands of pictures.
  QItemSelection marked;
  const std::vector<bool>& marks = model_.Marks();
  for (int i = 0; i < list_->count();) {
    if (!marks[static_cast<std::size_t>(i)]) {
      ++i;
      continue;
    }
    const int first = i;
    while (i < list_->count() && marks[static_cast<std::size_t>(i)]) ++i;
    marked.select(list_->model()->index(first, 0), list_->model()->index(i - 1, 0));
  }
  list_->selectionModel()->select(marked, QItemSelectionModel::ClearAndSelect);
  count_->setText(QString::fromStdU32String(model_.CountLine()));
}

void TaskDialogWidget::ShowThumbnail(const QString& path, const QImage& image) {
  ShowLoading();
  QListWidgetItem* item = items_by_path_.value(path);
  if (item == nullptr) return;
  item->setIcon(Untinted(image.isNull() ? Placeholder(thumbnail_size_, true) : Framed(image, thumbnail_size_)));
  if (!item->data(kThumbnailShownRole).toBool()) {
    item->setData(kThumbnailShownRole, true);
    ++thumbnails_shown_;
  }
}

void TaskDialogWidget::RequestThumbnailsInSight() {
  const QRect sight = list_->viewport()->rect();
  const int page = std::max(1, sight.height());
  const QRect ahead = sight.adjusted(0, -page, 0, page);
  const QRect kept = sight.adjusted(0, -3 * page, 0, 3 * page);
  QStringList in_sight, near;
  QSet<QString> wanted;
  for (int i = 0; i < list_->count(); ++i) {
    QListWidgetItem* item = list_->item(i);
    const QRect cell = list_->visualItemRect(item);
    const bool shown = item->data(kThumbnailShownRole).toBool();
    if (cell.intersects(ahead)) {
      const QString path = item->data(kPathRole).toString();
      wanted.insert(path);
      if (!shown) (cell.intersects(sight) ? in_sight : near).append(path);
    } else if (shown && !cell.intersects(kept)) {
      // Far out of sight: back to the shared placeholder, so that thousands
      // of pictures scrolled through do not all stay in memory.
      item->setIcon(loading_icon_);
      item->setData(kThumbnailShownRole, false);
      --thumbnails_shown_;
    }
  }
  thumbnails_->KeepOnly(wanted);
  for (const QStringList* group : {&in_sight, &near}) {
    for (const QString& path : *group) {
      QImage thumbnail;
      if (thumbnails_->Request(path, thumbnail)) ShowThumbnail(path, thumbnail);
    }
  }
  ShowLoading();
}

void TaskDialogWidget::ShowLoading() {
  const int pending = thumbnails_->Pending();
  loading_->setText(pending > 0 ? QStringLiteral("絵を読み込んでいます…（あと%1枚）").arg(pending) : QString());
  loading_->setVisible(pending > 0);
}

bool TaskDialogWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
    in_sight_timer_.start();
  }
  return QDialog::eventFilter(watched, event);
}

bool TaskDialogWidget::ThumbnailsInSightShown() const {
  const QRect sight = list_->viewport()->rect();
  for (int i = 0; i < list_->count(); ++i) {
    const QListWidgetItem* item = list_->item(i);
    if (list_->visualItemRect(item).intersects(sight) && !item->data(kThumbnailShownRole).toBool()) return false;
  }
  return true;
}

void TaskDialogWidget::WaitForThumbnails() {
  RequestThumbnailsInSight();
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
