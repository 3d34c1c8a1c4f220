// Writes a lesson folder of photo-like 4000x3000 JPEGs named by kana words,
// for the start-up and memory benchmarks.
// usage: make_photo_lesson FOLDER [COUNT]
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

#include "photo_like.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_photo_lesson FOLDER [COUNT]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const int count = argc > 2 ? std::atoi(argv[2]) : 101;
  QDir().mkpath(folder);
  // Two-letter words: the first letters run through the table, so the card
  // games find enough different initials.
  const QString kana = QString::fromUtf8(
      "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん");
  for (int i = 0; i < count; ++i) {
    const QString name = QString(kana[i % kana.size()]) + kana[(i / kana.size() * 7 + i) % kana.size()] + ".jpg";
    const QString file = folder + "/" + name;
    if (QFile::exists(file)) continue;
    if (!kanae::bench::WritePhotoLikeJpeg(file, static_cast<unsigned>(i + 1))) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
