#include "platform/speech/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <thread>

extern char** environ;

namespace kanae::speech {

RunOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds bound) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (error != 0) return RunOutcome::kNotStarted;

  // Polled: a child's end cannot be waited for with a time limit otherwise
  // without signals, which belong to the application. The steps grow from
  // 1 ms, so a quick program is not held up and a slow one costs little.
  const auto deadline = std::chrono::steady_clock::now() + bound;
  auto step = std::chrono::microseconds(500);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? RunOutcome::kSucceeded : RunOutcome::kFailed;
    }
    if (done < 0 && errno != EINTR) return RunOutcome::kFailed;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return RunOutcome::kTimedOut;
    }
    std::this_thread::sleep_for(step);
    step = std::min(step * 2, std::chrono::microseconds(5000));
  }
}

}  // namespace kanae::speech
