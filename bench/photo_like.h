// Photograph-like test pictures: smooth gradients, a few soft shapes and
// fine noise, so that a JPEG of them is as large and as slow to decode as a
// real photo (flat colour compresses to almost nothing and decodes fast).
#pragma once

#include <QImage>
#include <QString>

namespace kanae::bench {

// A picture of the given size; seed varies the colours and shapes.
QImage PhotoLikeImage(int width, int height, unsigned seed);

// Writes a 4000x3000 photo-like JPEG (about 2-4 MB); false when it cannot.
bool WritePhotoLikeJpeg(const QString& file, unsigned seed, int width = 4000, int height = 3000);

}  // namespace kanae::bench
