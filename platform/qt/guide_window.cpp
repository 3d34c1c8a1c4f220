#include "guide_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

namespace kanae {

QUrl GuideWindow::Page() { return QUrl(QStringLiteral("qrc:/guide/kanae-guide.html")); }

int GuideWindow::TextPixels(int screen_height) { return std::max(20, screen_height / 36); }

GuideWindow::GuideWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("かなえの使い方"));
  setModal(false);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  QFont text = font();
  text.setPixelSize(TextPixels(area.height()));
  setFont(text);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName("guide");
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(false);
  browser_->setFont(text);
  browser_->setSource(Page());

  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  close->setObjectName("close_guide");
  close->setMinimumSize(close->fontMetrics().horizontalAdvance(close->text()) + text.pixelSize() * 2,
                        text.pixelSize() * 2);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(browser_, 1);
  column->addLayout(buttons);
  // Nearly the whole screen, so that the pictures of the screens are seen whole.
  resize(area.width() * 9 / 10, area.height() * 9 / 10);
  move(area.center() - rect().center());
}

}  // namespace kanae
