// A picture made smaller while it is read: each stored pixel is added into
// the target pixel that covers it, and each target pixel is the mean of those
// it received (pixels never added count as transparent). Memory grows with
// the target, never with the stored size. For the line-by-line decoders.
#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

namespace kanae {

class BoxAverage {
 public:
  // target is bounded to stored; an empty target or stored gives a null result.
  BoxAverage(QSize stored, QSize target) : stored_(stored), final_(target.boundedTo(stored)) {
    if (stored.isEmpty() || final_.isEmpty()) return;
    // A target pixel sums at most this many stored ones; 32 bits hold 255 times
    // 16 million of them. A smaller target than that is made in two steps.
    target_ = final_;
    while (static_cast<std::int64_t>(stored.width() / target_.width() + 1) * (stored.height() / target_.height() + 1) >
           (1 << 24)) {
      target_ = (target_ * 2).boundedTo(stored);
    }
    Map(stored.width(), target_.width(), column_to_, column_count_);
    Map(stored.height(), target_.height(), row_to_, row_count_);
    sums_.assign(static_cast<std::size_t>(target_.width()) * static_cast<std::size_t>(target_.height()) * 4, 0);
  }

  bool valid() const { return !sums_.empty(); }

  // The sums of one stored row, to add pixels with Add.
  std::uint32_t* Row(int y) {
    return &sums_[static_cast<std::size_t>(row_to_[static_cast<std::size_t>(y)]) *
                  static_cast<std::size_t>(target_.width()) * 4];
  }
  // Premultiplied blue, green, red, alpha of the stored pixel at column x.
  void Add(std::uint32_t* row, int x, std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
    std::uint32_t* sum = row + static_cast<std::size_t>(column_to_[static_cast<std::size_t>(x)]) * 4;
    sum[0] += b;
    sum[1] += g;
    sum[2] += r;
    sum[3] += a;
  }

  QImage Result() const {
    if (!valid()) return {};
    QImage image(target_, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    for (int y = 0; y < target_.height(); ++y) {
      auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
      const std::uint32_t* row =
          &sums_[static_cast<std::size_t>(y) * static_cast<std::size_t>(target_.width()) * 4];
      for (int x = 0; x < target_.width(); ++x) {
        const std::uint32_t area =
            column_count_[static_cast<std::size_t>(x)] * row_count_[static_cast<std::size_t>(y)];
        const std::uint32_t* s = row + static_cast<std::size_t>(x) * 4;
        const auto mean = [&](int i) { return (s[i] + area / 2) / area; };
        out[x] = (mean(3) << 24) | (mean(2) << 16) | (mean(1) << 8) | mean(0);
      }
    }
    if (target_ != final_) return image.scaled(final_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
  }

 private:
  static void Map(int stored, int target, std::vector<int>& to, std::vector<std::uint32_t>& count) {
    to.resize(static_cast<std::size_t>(stored));
    count.assign(static_cast<std::size_t>(target), 0);
    for (int i = 0; i < stored; ++i) {
      const int t = static_cast<int>(static_cast<std::int64_t>(i) * target / stored);
      to[static_cast<std::size_t>(i)] = t;
      ++count[static_cast<std::size_t>(t)];
    }
  }

  QSize stored_;
  QSize final_;
  QSize target_;
  std::vector<int> column_to_, row_to_;
  std::vector<std::uint32_t> column_count_, row_count_;
  std::vector<std::uint32_t> sums_;
};

}  // namespace kanae
