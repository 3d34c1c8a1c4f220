// かなえの使い方: the teacher's guide in large type, over the game (F1) or
// the menu. The same page is installed for printing.
#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

namespace kanae {

class GuideWindow : public QDialog {
 public:
  explicit GuideWindow(QWidget* parent);

  // The guide built into the program.
  static QUrl Page();
  // The text size for a screen of this height: large enough to read from a
  // step away, as the games' own texts are.
  static int TextPixels(int screen_height);

  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace kanae
