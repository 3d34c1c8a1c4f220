// GIF pictures decoded straight to a smaller size. Qt's GIF reader ignores a
// scaled size: it decodes the whole frame (an 8000x8000 GIF of 110 KB becomes
// 256 MB) and only then scales. Here the first frame is read one line at a
// time and each line is added into the smaller picture at once, so memory
// grows with the size shown, never with the size stored. Any thread.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace kanae {

// The size stored in a GIF file's header, or an invalid size when the file is
// not a GIF.
QSize GifSize(const QString& path);

// The first frame averaged down to target (each pixel of the result the mean
// of the pixels it covers; transparent pixels count as transparent), as
// Format_ARGB32_Premultiplied; null when the file cannot be decoded or target
// is empty.
QImage DecodeGifDownscaled(const QString& path, QSize target);

}  // namespace kanae
