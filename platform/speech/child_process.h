// Runs a helper program safely: no shell, the arguments as given, standard
// input, output and error on /dev/null, and a time bound after which the
// program is killed.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kanae::speech {

enum class RunOutcome { kSucceeded, kFailed, kTimedOut, kNotStarted };

// program is a path (it is not looked up in PATH). Blocks until the program
// ends or the bound passes.
RunOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds bound);

}  // namespace kanae::speech
