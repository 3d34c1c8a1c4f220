#include "termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace kanae {

namespace {

// One program runs one game: one pair for the whole process.
int signal_pipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // write() is async-signal-safe; a full pipe already holds an ending.
  [[maybe_unused]] const ssize_t n = ::write(signal_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> on_signal, QObject* parent)
    : QObject(parent), on_signal_(std::move(on_signal)) {
  if (signal_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signal_pipe) != 0) {
    return;  // the default action (the program ends) stays
  }
  notifier_ = std::make_unique<QSocketNotifier>(signal_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (::read(signal_pipe[0], bytes, sizeof bytes) > 0) {
    }
    on_signal_();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  // From here on the program is ending anyway: the default actions return.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);
}

}  // namespace kanae
