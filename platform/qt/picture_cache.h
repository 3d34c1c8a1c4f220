// Decoded pictures, scaled down to the screen once so that painting them is
// cheap. Decoding is bounded: a broken or enormous file gives no picture
// rather than a crash or an unbounded allocation, and one line on standard
// error names it (once per file).
#pragma once

#include <QImage>
#include <QSize>
#include <list>
#include <set>
#include <string>
#include <utility>

namespace kanae {

class PictureCache {
 public:
  explicit PictureCache(QSize largest, std::size_t capacity = 8) : largest_(largest), capacity_(capacity) {}

  // The picture of the file (a null image when it cannot be decoded).
  const QImage& Get(const std::string& utf8_path);
  bool Has(const std::string& utf8_path) const;
  void SetLargest(QSize largest) { largest_ = largest; }

 private:
  QImage Decode(const std::string& utf8_path);

  QSize largest_;
  std::size_t capacity_;
  std::list<std::pair<std::string, QImage>> entries_;  // most recent first
  std::set<std::string> reported_;                      // files already named on standard error
};

}  // namespace kanae
