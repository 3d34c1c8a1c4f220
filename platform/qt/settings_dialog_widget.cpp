#include "settings_dialog_widget.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

#include "dialog_scale.h"

namespace kanae {

namespace {

// Where the style lets a group box's options stand: inside its border, below its caption.
QRect ContentsOf(const QGroupBox* box) {
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.lineWidth = 1;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxContents;
  return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, box);
}

// The option's place from the layout, grown to its label and moved the few
// pixels it takes to stand clear of the frame's caption and border.
QRect FitInside(QRect place, QSize needed, const QRect& contents, int margin) {
  place.setWidth(std::max(place.width(), needed.width()));
  place.setHeight(std::max(place.height(), needed.height()));
  const QRect room = contents.adjusted(margin, margin, -margin, -margin);
  if (place.right() > room.right()) place.moveRight(room.right());
  if (place.bottom() > room.bottom()) place.moveBottom(room.bottom());
  if (place.left() < room.left()) place.moveLeft(room.left());
  if (place.top() < room.top()) place.moveTop(room.top());
  return place;
}

// The style's round indicator keeps its size on any screen; this one grows
// it with the text.
class ScaledIndicatorStyle : public QProxyStyle {
 public:
  explicit ScaledIndicatorStyle(double factor) : factor_(factor) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
      case PM_ExclusiveIndicatorWidth:
      case PM_ExclusiveIndicatorHeight:
      case PM_RadioButtonLabelSpacing: return static_cast<int>(base * factor_ + 0.5);
      default: return base;
    }
  }

 private:
  double factor_;
};

}  // namespace

namespace {

bool Overlap(const TwipRect& a, const TwipRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width;
}

}  // namespace

SettingsDialogWidget::SettingsDialogWidget(SettingsDialog& model, std::function<void()> on_execute,
                                           std::function<void()> on_leave, QWidget* parent)
    : QDialog(parent), model_(model) {
  const SettingsDialogLayout& layout = model.Layout();
  const DialogScale scale = DialogScale::ForPrimaryScreen();
  setWindowTitle(QString::fromStdU32String(kSettingsDialogCaption));
  setModal(false);
  // The frames are sized in twips for an 11-pixel font, grown with the screen;
  // the desktop's own font size would cut the captions off.
  setFont(scale.Font(font()));
  auto* indicators = new ScaledIndicatorStyle(scale.Factor());
  indicators->setParent(this);

  // Each frame's note stands under it, as wide as the frame; whatever stands
  // below a frame in its column moves down by the note's room.
  const int gap = scale.Pixels(60);
  std::vector<QLabel*> notes(layout.frames.size(), nullptr);
  std::vector<int> room(layout.frames.size(), 0);
  for (std::size_t f = 0; f < layout.frames.size(); ++f) {
    const OptionFrame& frame = layout.frames[f];
    if (frame.note.empty()) continue;
    auto* note = new QLabel(QString::fromStdU32String(frame.note), this);
    note->setObjectName(QStringLiteral("note_%1").arg(f));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette colours = note->palette();
    colours.setColor(QPalette::WindowText, QColor(0x33, 0x33, 0x33));
    note->setPalette(colours);
    const int width = scale.Rect(frame.rect).width();
    note->setFixedWidth(width);
    note->setFixedHeight(note->heightForWidth(width));
    notes[f] = note;
    room[f] = gap + note->height();
  }
  auto ShiftOf = [&](const TwipRect& r) {
    int shift = 0;
    for (std::size_t g = 0; g < layout.frames.size(); ++g) {
      const TwipRect& above = layout.frames[g].rect;
      if (above.top + above.height <= r.top && Overlap(above, r)) shift += room[g];
    }
    return shift;
  };
  int growth = 0;
  auto Pixels = [&](const TwipRect& r) {
    const QRect placed = scale.Rect(r).translated(0, ShiftOf(r));
    growth = std::max(growth, placed.bottom() - scale.Rect(r).bottom());
    return placed;
  };
  for (std::size_t f = 0; f < layout.frames.size(); ++f) {
    const QRect frame = Pixels(layout.frames[f].rect);
    if (notes[f] == nullptr) continue;
    notes[f]->move(frame.left(), frame.bottom() + 1 + gap / 2);
    growth = std::max(growth, frame.bottom() + room[f] - scale.Rect(layout.frames[f].rect).bottom());
  }
  setFixedSize(scale.Pixels(layout.client_width), scale.Pixels(layout.client_height) + growth);

  if (layout.frame_rect.width > 0) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(scale.Rect(layout.frame_rect).adjusted(0, 0, 0, growth));
    frame->lower();
  }
  auto* title = new QLabel(QString::fromStdU32String(layout.title), this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  title->setGeometry(Pixels(layout.title_rect));

  for (std::size_t f = 0; f < layout.frames.size(); ++f) {
    const OptionFrame& frame = layout.frames[f];
    auto* box = new QGroupBox(QString::fromStdU32String(frame.caption), this);
    box->setGeometry(Pixels(frame.rect));
    const QRect contents = ContentsOf(box);
    std::vector<QRadioButton*> row;
    for (std::size_t o = 0; o < frame.options.size(); ++o) {
      auto* button = new QRadioButton(QString::fromStdU32String(frame.options[o].caption), box);
      button->setObjectName(QString::fromStdString(frame.options[o].name));
      button->setStyle(indicators);
      button->setGeometry(FitInside(scale.Rect(frame.options[o].rect), button->sizeHint(), contents, scale.Pixels(15)));
      connect(button, &QRadioButton::clicked, this, [this, f, o] { model_.Select(f, static_cast<int>(o)); });
      row.push_back(button);
    }
    buttons_.push_back(std::move(row));
  }

  auto* execute = new QPushButton(QStringLiteral("実行"), this);
  execute->setObjectName("Command1");
  execute->setGeometry(Pixels(layout.execute_button));
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel->setObjectName("Command2");
  cancel->setGeometry(Pixels(layout.cancel_button));
  connect(execute, &QPushButton::clicked, this, [this, on_execute] {
    on_execute();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // Every way out (実行, キャンセル, Esc, the title bar's ×) ends here.
  connect(this, &QDialog::finished, this, [on_leave] { on_leave(); });
}

void SettingsDialogWidget::Open() {
  // Filled from the lesson each time the teacher opens it, not each time it
  // regains focus: a message box closing over it must not undo the marks.
  model_.Activate();
  show_model();
  show();
  raise();
  activateWindow();
}

void SettingsDialogWidget::show_model() {
  for (std::size_t f = 0; f < buttons_.size(); ++f) {
    const int selected = model_.Selected(f);
    for (std::size_t o = 0; o < buttons_[f].size(); ++o) {
      QRadioButton* button = buttons_[f][o];
      // Auto-exclusive buttons cannot all be off; a value without a button leaves none set.
      button->setAutoExclusive(false);
      button->setChecked(static_cast<int>(o) == selected);
      button->setAutoExclusive(true);
    }
  }
}

}  // namespace kanae
