#include "process_runner.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <memory>

namespace kanae::menu {

void ProcessRunner::Run(const GameStart& start, std::function<void(bool started)> ended) {
  auto* process = new QProcess;
  process->setProgram(start.program);
  process->setArguments({start.lesson});
  process->setWorkingDirectory(start.working_folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (start.kiosk) {
    environment.insert("KANAE_KIOSK", "1");
  } else {
    environment.remove("KANAE_KIOSK");
  }
  // The child reaches the game's learning record; the arguments stay the lesson folder alone.
  if (start.child.isEmpty()) {
    environment.remove("KANAE_CHILD");
  } else {
    environment.insert("KANAE_CHILD", start.child);
  }
  if (start.dialog.isEmpty()) {
    environment.remove("KANAE_DIALOG");
  } else {
    environment.insert("KANAE_DIALOG", start.dialog);
    // Nothing is said in a dialog; the voice need not start.
    environment.insert("KANAE_SPEECH", "none");
  }
  process->setProcessEnvironment(environment);
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  // finished and a failed start each report once; whichever comes first ends it.
  auto report = std::make_shared<std::function<void(bool)>>(std::move(ended));
  QObject::connect(process, &QProcess::finished, process, [process, report](int, QProcess::ExitStatus) {
    if (*report) std::exchange(*report, nullptr)(true);
    process->deleteLater();
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    if (*report) std::exchange(*report, nullptr)(false);
    process->deleteLater();
  });
  process->start();
}

}  // namespace kanae::menu
