#include "dialog_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace kanae {

namespace {

constexpr int kReferenceScreenHeight = 1080;
constexpr int kReferenceFontPixels = 16;

}  // namespace

DialogScale::DialogScale(int screen_height)
    : factor_(std::max(1.0, static_cast<double>(screen_height) * kReferenceFontPixels /
                                (static_cast<double>(kReferenceScreenHeight) * kBaseFontPixels))) {}

DialogScale DialogScale::ForPrimaryScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return DialogScale(screen != nullptr ? screen->geometry().height() : 768);
}

int DialogScale::FontPixels() const { return static_cast<int>(std::lround(kBaseFontPixels * factor_)); }

int DialogScale::Pixels(int twips) const { return static_cast<int>(std::lround(twips * factor_ / 15.0)); }

QRect DialogScale::Rect(const TwipRect& r) const {
  // Both edges are rounded, so neighbouring controls stay as far apart as in twips.
  const int left = Pixels(r.left);
  const int top = Pixels(r.top);
  return QRect(left, top, Pixels(r.left + r.width) - left, Pixels(r.top + r.height) - top);
}

QFont DialogScale::Font(QFont font) const {
  font.setPixelSize(FontPixels());
  return font;
}

}  // namespace kanae
