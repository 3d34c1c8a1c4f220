#include <unistd.h>

#include "record_sync.h"

namespace kanae {

struct RecordSync::State {};

RecordSync::RecordSync() = default;
RecordSync::~RecordSync() = default;

void RecordSync::Written(int file, int folder) {
  ::fdatasync(file);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

void RecordSync::WaitUntilDurable() {}

}  // namespace kanae
