#include "task_dialog_widget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kanae {

TaskDialogWidget::TaskDialogWidget(TaskDialog& model, std::function<bool()> on_decide,
                                   std::function<void()> on_leave, QWidget* parent)
    : QDialog(parent), model_(model), list_(new QListWidget(this)) {
  setWindowTitle(QString::fromStdU32String(kTaskDialogCaption));
  setModal(false);
  resize(420, 520);

  auto* heading = new QLabel(QStringLiteral("課題選択画面"), this);
  heading->setObjectName("Label1");
  QFont bold = heading->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  heading->setFont(bold);
  auto* hint = new QLabel(QStringLiteral("出題する絵をクリックして選んでください。"), this);

  list_->setObjectName("List1");
  list_->setSelectionMode(QAbstractItemView::MultiSelection);  // a click toggles a mark
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
    for (int i = 0; i < list_->count(); ++i) model_.SetMark(static_cast<std::size_t>(i), list_->item(i)->isSelected());
  });

  auto make_button = [this](const char* name, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    return button;
  };
  QPushButton* decide = make_button("Command1", QStringLiteral("決定"));
  QPushButton* cancel = make_button("Command2", QStringLiteral("キャンセル"));
  QPushButton* all = make_button("Command3", QStringLiteral("全選択"));
  QPushButton* none = make_button("Command4", QStringLiteral("全解除"));
  connect(all, &QPushButton::clicked, this, [this] {
    model_.SelectAll();
    ShowModel();
  });
  connect(none, &QPushButton::clicked, this, [this] {
    model_.ClearAll();
    ShowModel();
  });
  connect(decide, &QPushButton::clicked, this, [this, on_decide] {
    if (on_decide()) accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // Every way out (決定, キャンセル, Esc, the title bar's ×) ends here.
  connect(this, &QDialog::finished, this, [on_leave] { on_leave(); });

  auto* marks = new QHBoxLayout;
  marks->addWidget(all);
  marks->addWidget(none);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cancel);
  buttons->addStretch();
  buttons->addWidget(decide);
  auto* column = new QVBoxLayout(this);
  column->addWidget(heading);
  column->addWidget(hint);
  column->addWidget(list_);
  column->addLayout(marks);
  column->addLayout(buttons);
}

void TaskDialogWidget::Open() {
  // Filled from the lesson each time the teacher opens it, not each time it
  // regains focus: a message box closing over it must not undo the marks.
  model_.Activate();
  ShowModel();
  show();
  raise();
  activateWindow();
}

void TaskDialogWidget::ShowModel() {
  const QSignalBlocker block(list_);
  if (list_->count() != static_cast<int>(model_.Entries().size())) {
    list_->clear();
    for (const Text& entry : model_.Entries()) list_->addItem(QString::fromStdU32String(entry));
  }
  for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(model_.Marks()[static_cast<std::size_t>(i)]);
}

}  // namespace kanae
