// Makes the learning record's appended lines durable. fdatasync costs
// milliseconds on ordinary disks, more than an answer may wait, so where
// threads are at hand a small thread syncs behind the game and
// WaitUntilDurable (before the next question) waits for it, which in practice
// never waits because the feedback lasts longer than the sync. A web page has
// one thread and keeps its files in the page's own storage: there the sync is
// done at once, inside the answer, and nothing is left to wait for.
#pragma once

#include <memory>

namespace kanae {

class RecordSync {
 public:
  RecordSync();
  ~RecordSync();  // finishes what was handed over
  RecordSync(const RecordSync&) = delete;
  RecordSync& operator=(const RecordSync&) = delete;

  // Lines were appended to file, which stays open until WaitUntilDurable has
  // returned. folder (or -1) is a folder whose new entry must reach the disk
  // too; it is ours from now on and closed once synced.
  void Written(int file, int folder);
  // Returns once everything handed over is on the disk.
  void WaitUntilDurable();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kanae
