#include "browser.h"

#include <QCoreApplication>
#include <QProcess>
#include <QUrl>
#include <memory>

namespace kanae {

void OpenInBrowser(const QString& page, std::function<void(const QString& reason)> failed, const QString& opener) {
  // Owned by the application, so a browser still open when the program ends
  // leaves nothing behind.
  auto* process = new QProcess(QCoreApplication::instance());
  process->setProgram(opener);
  process->setArguments({QUrl::fromLocalFile(page).toString()});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  // The opener may run the browser in the foreground for as long as it is
  // open; nothing waits for it, and it is freed when it ends.
  auto report = std::make_shared<std::function<void(const QString&)>>(std::move(failed));
  QObject::connect(process, &QProcess::finished, process, [process, report](int code, QProcess::ExitStatus status) {
    if (*report && (status != QProcess::NormalExit || code != 0)) {
      std::exchange(*report, nullptr)(QStringLiteral("ブラウザーを開けませんでした（%1 の終了コード %2）。")
                                          .arg(process->program())
                                          .arg(code));
    }
    process->deleteLater();
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    if (*report) {
      std::exchange(*report, nullptr)(
          QStringLiteral("ブラウザーを開くためのプログラム %1 がありません。").arg(process->program()));
    }
    process->deleteLater();
  });
  process->start();
}

}  // namespace kanae
