// Qt's own texts (the file dialog, standard buttons, context menus) in
// Japanese, and the message box every program uses to tell the teacher
// something, with a Japanese button.
#pragma once

#include <QString>

class QCoreApplication;
class QWidget;

namespace kanae {

// Loads Qt's Japanese translation into the application. False when it is
// not installed: Qt's texts then stay in English, and nothing else changes.
bool UseJapaneseQtTexts(QCoreApplication& app);

// A modal notice with the exclamation icon and one 「閉じる」 button.
void ShowNotice(QWidget* parent, const QString& caption, const QString& text);

}  // namespace kanae
