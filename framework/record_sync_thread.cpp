#include <unistd.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "record_sync.h"

namespace kanae {

struct RecordSync::State {
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable synced;
  std::uint64_t written = 0;
  std::uint64_t durable = 0;
  int file = -1;
  std::vector<int> folders;
  bool stopping = false;
  std::thread syncer;

  void Loop() {
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [this] { return stopping || durable < written; });
      if (durable < written) {
        const std::uint64_t target = written;
        const int fd = file;
        std::vector<int> dirs;
        dirs.swap(folders);
        lock.unlock();
        ::fdatasync(fd);
        for (const int dir : dirs) {
          ::fsync(dir);
          ::close(dir);
        }
        lock.lock();
        durable = target;
        synced.notify_all();
        continue;
      }
      if (stopping) return;
    }
  }
};

RecordSync::RecordSync() : state_(std::make_unique<State>()) {}

RecordSync::~RecordSync() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->wake.notify_all();
  if (state_->syncer.joinable()) state_->syncer.join();
  for (const int dir : state_->folders) ::close(dir);
}

void RecordSync::Written(int file, int folder) {
  {
    std::lock_guard lock(state_->mutex);
    state_->file = file;
    if (folder >= 0) state_->folders.push_back(folder);
    ++state_->written;
    if (!state_->syncer.joinable()) state_->syncer = std::thread([state = state_.get()] { state->Loop(); });
  }
  state_->wake.notify_one();
}

void RecordSync::WaitUntilDurable() {
  std::unique_lock lock(state_->mutex);
  state_->synced.wait(lock, [this] { return state_->durable >= state_->written || !state_->syncer.joinable(); });
}

}  // namespace kanae
