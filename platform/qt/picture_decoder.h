// Decoding a picture file straight to the size it is shown at. Bounded: a
// broken or enormous file gives no picture rather than a crash or an
// unbounded allocation. Safe to call on any thread.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

namespace kanae {

// The picture stretched to shown (device pixels), or a null image when the
// file cannot be decoded.
QImage DecodePicture(const std::string& utf8_path, QSize shown);

}  // namespace kanae
