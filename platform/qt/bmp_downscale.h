// BMP pictures decoded straight to a smaller size, a row at a time: Qt's BMP
// reader, like its GIF reader, ignores a scaled size and decodes every pixel
// first. The plain kinds (8-bit with a palette, 24 and 32 bits, uncompressed,
// rows either way up) are read here; the rarer ones are left to Qt.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace kanae {

// The picture averaged down to target, as Format_ARGB32_Premultiplied; a null
// image when the file is broken; nullopt when it is a kind of BMP left to Qt.
std::optional<QImage> DecodeBmpDownscaled(const QString& path, QSize target);

}  // namespace kanae
