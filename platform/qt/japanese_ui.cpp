#include "japanese_ui.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace kanae {

bool UseJapaneseQtTexts(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

void ShowNotice(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
  // Qt's Japanese translation keeps "OK"; a teacher reads 閉じる.
  box.button(QMessageBox::Ok)->setText(QStringLiteral("閉じる"));
  box.exec();
}

}  // namespace kanae
