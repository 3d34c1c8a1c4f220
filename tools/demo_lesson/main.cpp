// Draws the demo lesson: one picture per everyday word, named after the word
// in kana, so a teacher (and a developer) can try every game at once.
//
// The objects are colour emoji from a Debian-shipped free font, set large on a
// plain pastel ground with a soft shadow: friendly, and recognisable at a glance.
//
// Usage: kanae_demo_lesson EMOJI_FONT OUTPUT_FOLDER

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <cstdio>
#include <set>

#include "gif_writer.h"

namespace {

struct Picture {
  const char* name;   // the word, file name without extension
  const char* emoji;  // what is drawn
  QRgb ground;        // plain background colour
  const char* ext;    // the three formats the games accept, mixed
};

// Initials spread over both scripts, voiced and semi-voiced letters, ー and a
// small ゃ, and one long name to test how layouts cope.
const Picture kPictures[] = {
    {"いぬ", "🐶", 0xFFD8ECFF, "jpg"},      {"ねこ", "🐱", 0xFFE3F5D8, "gif"},
    {"りんご", "🍎", 0xFFFFF4C8, "bmp"},    {"みかん", "🍊", 0xFFD6F0F5, "jpg"},
    {"さかな", "🐟", 0xFFFFE9D6, "gif"},    {"くるま", "🚗", 0xFFE6F2D9, "bmp"},
    {"はな", "🌷", 0xFFFFF6D5, "jpg"},      {"ほし", "⭐", 0xFFDCE3FA, "gif"},
    {"たいこ", "🥁", 0xFFE8F6EE, "bmp"},    {"うさぎ", "🐰", 0xFFFCE3EC, "jpg"},
    {"ケーキ", "🍰", 0xFFDDF1FA, "gif"},    {"バナナ", "🍌", 0xFFDDE6FB, "bmp"},
    {"つき", "🌙", 0xFFD5DCF2, "jpg"},      {"かさ", "☂️", 0xFFFFF1D0, "gif"},
    {"ひこうき", "✈️", 0xFFD9EEFB, "bmp"},  {"ぞう", "🐘", 0xFFFFF0DC, "jpg"},
    {"ペンギン", "🐧", 0xFFDDF2F7, "gif"},  {"でんしゃ", "🚃", 0xFFF3EAD9, "bmp"},
    {"ソフトクリーム", "🍦", 0xFFF9DCE6, "jpg"}, {"ゆきだるま", "⛄", 0xFFB8D4EF, "gif"},
    {"ちょうちょ", "🦋", 0xFFF0F7D9, "bmp"}, {"あめ", "🍬", 0xFFE2F3E4, "jpg"},
};

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kObjectSize = 330;  // the longer side of the drawn object

// Renders the glyph on a transparent canvas and crops it to its inked pixels,
// so every object is sized by what shows rather than by font metrics.
QImage RenderEmoji(const QString& family, const QString& emoji) {
  QFont font(family);
  font.setPixelSize(kObjectSize);
  QImage canvas(kObjectSize * 2, kObjectSize * 2, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  {
    QPainter p(&canvas);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.setFont(font);
    p.drawText(canvas.rect(), Qt::AlignCenter, emoji);
  }
  int left = canvas.width(), top = canvas.height(), right = -1, bottom = -1;
  for (int y = 0; y < canvas.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    for (int x = 0; x < canvas.width(); ++x) {
      if (qAlpha(line[x]) > 8) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  if (right < 0) return {};
  return canvas.copy(left, top, right - left + 1, bottom - top + 1)
      .scaled(kObjectSize, kObjectSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage DrawPicture(const QString& family, const Picture& picture) {
  const QImage object = RenderEmoji(family, QString::fromUtf8(picture.emoji));
  if (object.isNull()) return {};
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(picture.ground);
  QPainter p(&image);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);

  const QPoint top_left((kWidth - object.width()) / 2, (kHeight - object.height()) / 2 - 12);
  // A soft shadow under the object so it stands rather than floats.
  const QPointF shadow_centre(kWidth / 2.0, top_left.y() + object.height() + 8);
  const double shadow_rx = object.width() * 0.42;
  QRadialGradient shade(shadow_centre, shadow_rx);
  shade.setColorAt(0, QColor(0, 0, 0, 60));
  shade.setColorAt(1, QColor(0, 0, 0, 0));
  p.save();
  p.translate(shadow_centre);
  p.scale(1.0, 0.18);
  p.translate(-shadow_centre);
  p.setPen(Qt::NoPen);
  p.setBrush(shade);
  p.drawEllipse(shadow_centre, shadow_rx, shadow_rx);
  p.restore();

  p.drawImage(top_left, object);
  return image;
}

bool Save(const QImage& image, const QString& file, const QString& ext) {
  if (ext == QLatin1String("gif")) return kanae::WriteGif(image, file);
  if (ext == QLatin1String("jpg")) return image.save(file, "JPEG", 90);
  return image.save(file, "BMP");
}

}  // namespace

int main(int argc, char** argv) {
  // Runs during the build, where there is no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: kanae_demo_lesson EMOJI_FONT OUTPUT_FOLDER\n");
    return 2;
  }
  const int font_id = QFontDatabase::addApplicationFont(QFile::decodeName(argv[1]));
  const QStringList families = QFontDatabase::applicationFontFamilies(font_id);
  if (families.isEmpty()) {
    std::fprintf(stderr, "kanae_demo_lesson: cannot load font %s\n", argv[1]);
    return 1;
  }
  QDir folder(QFile::decodeName(argv[2]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "kanae_demo_lesson: cannot create %s\n", argv[2]);
    return 1;
  }

  std::set<QString> written;
  for (const Picture& picture : kPictures) {
    const QString ext = QString::fromLatin1(picture.ext);
    const QString file_name = QString::fromUtf8(picture.name) + QLatin1Char('.') + ext;
    const QImage image = DrawPicture(families.front(), picture);
    if (image.isNull() || !Save(image, folder.filePath(file_name), ext)) {
      std::fprintf(stderr, "kanae_demo_lesson: cannot draw or write %s\n", qUtf8Printable(file_name));
      return 1;
    }
    written.insert(file_name);
  }
  // A picture dropped from the list must not linger in the folder.
  for (const QFileInfo& old : folder.entryInfoList({"*.jpg", "*.gif", "*.bmp"}, QDir::Files)) {
    if (!written.count(old.fileName())) QFile::remove(old.filePath());
  }
  return 0;
}
