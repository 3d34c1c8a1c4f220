// SIGTERM (a logout, a shutdown, `kill`) and SIGHUP (the terminal closed) end
// a game as Esc does: the exit traced, every answer on disk, the speech's
// temporary folder removed as the program unwinds. The handler only writes a
// byte to a pipe; the GUI thread reads it and does the work.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace kanae {

class TerminationSignals : public QObject {
 public:
  // on_signal runs on the GUI thread, once per signal received.
  explicit TerminationSignals(std::function<void()> on_signal, QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  std::function<void()> on_signal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kanae
