// GIF output for QImage, which Qt can read but not write.
#pragma once

#include <QImage>
#include <QString>

namespace kanae {

// Reduces image to at most 256 colours and writes it as a single-frame GIF.
// Returns false when the file cannot be written.
bool WriteGif(const QImage& image, const QString& file);

}  // namespace kanae
