#include "settings_dialog_widget.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace kanae {

namespace {

QRect Pixels(const TwipRect& r) { return QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15); }

}  // namespace

SettingsDialogWidget::SettingsDialogWidget(SettingsDialog& model, std::function<void()> on_execute,
                                           std::function<void()> on_leave, QWidget* parent)
    : QDialog(parent), model_(model) {
  const SettingsDialogLayout& layout = model.Layout();
  setWindowTitle(QString::fromStdU32String(kSettingsDialogCaption));
  setModal(false);
  setFixedSize(layout.client_width / 15, layout.client_height / 15);
  // The frames are sized in twips for a 9-point dialog font; a larger desktop
  // font would cut the captions off.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  if (layout.frame_rect.width > 0) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(Pixels(layout.frame_rect));
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
    std::vector<QRadioButton*> row;
    for (std::size_t o = 0; o < frame.options.size(); ++o) {
      auto* button = new QRadioButton(QString::fromStdU32String(frame.options[o].caption), box);
      button->setObjectName(QString::fromStdString(frame.options[o].name));
      QRect r = Pixels(frame.options[o].rect);
      r.setWidth(std::max(r.width(), button->sizeHint().width()));
      r.setHeight(std::max(r.height(), button->sizeHint().height()));
      button->setGeometry(r);
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
  ShowModel();
  show();
  raise();
  activateWindow();
}

void SettingsDialogWidget::ShowModel() {
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
