#include "class_chooser.h"

#include <algorithm>
#include <cmath>

#include "lesson.h"

namespace kanae {

namespace {

constexpr Colour kBackground = 0x00ECF6FB;  // the menu's cream
constexpr Colour kNoNameColour = 0x00D8D8D8;
constexpr Colour kInk = 0x00222222;
// For a child with neither picture nor colour: soft colours that tell
// neighbouring tiles apart (&H00BBGGRR).
constexpr Colour kKnownColours[] = {0x009AD3F7, 0x00C8E6A5, 0x00F2C9A0, 0x00C6B4F0,
                                    0x00A8E0F5, 0x00E0C0E8, 0x00B0D8C8, 0x00A0B8F0};

// "#RRGGBB" as read from the list into the controls' &H00BBGGRR.
Colour ToControlColour(std::uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

}  // namespace

ClassChooser::ClassChooser(const std::vector<Child>& children, const std::filesystem::path& picture_folder, int width,
                           int height, const InputSettings& input, TimerFactory& timers, Chosen chosen)
    : assist_(
          form_.markers,
          [this] { return std::vector<const Control*>(tiles_.begin(), tiles_.end()); },
          [this](const Control* tile) { Choose(tile); }, [this] { return !done_; }),
      chosen_(std::move(chosen)) {
  form_.back_colour = kBackground;
  form_.width = width;
  form_.height = height;
  heading_ = &form_.Add("heading", ControlKind::kLabel, 1);
  heading_->caption = U"だれが　あそぶ？";
  heading_->transparent = true;
  heading_->centred = true;
  heading_->fore_colour = kInk;
  heading_->visible = true;

  const auto add_tile = [&](const Text& name, const Child* child) {
    const int i = static_cast<int>(tiles_.size());
    const bool picture = child != nullptr && !child->picture.empty() && !child->colour;
    Control& tile = form_.Add("tiles(" + std::to_string(i) + ")", picture ? ControlKind::kImage : ControlKind::kLabel, 2, i);
    if (picture) {
      const std::filesystem::path path = PathFromUtf8(child->picture);
      tile.picture = PathToUtf8(path.is_absolute() ? path : picture_folder / path);
    } else {
      tile.back_colour = child == nullptr  ? kNoNameColour
                         : child->colour ? ToControlColour(*child->colour)
                                         : kKnownColours[static_cast<std::size_t>(i) % std::size(kKnownColours)];
      // With no picture, the name's first letter stands large on its colour.
      tile.caption = Left(name, 1);
      tile.fore_colour = kInk;
      tile.centred = true;
    }
    tile.visible = true;
    tiles_.push_back(&tile);
    Control& label = form_.Add("names(" + std::to_string(i) + ")", ControlKind::kLabel, 2, i);
    label.caption = name;
    label.transparent = true;
    label.centred = true;
    label.fore_colour = kInk;
    label.visible = true;
    names_.push_back(&label);
    children_.push_back(child != nullptr ? name : Text());
  };
  for (const Child& child : children) add_tile(child.name, &child);
  add_tile(kNoName, nullptr);
  Layout(width, height);

  auto dwell_timer = timers.CreateTimer(InputAssist::kDwellTickMilliseconds);
  dwell_timer->SetTickHandler([this] { assist_.OnDwellTick(); });
  auto scan_timer = timers.CreateTimer(2000);
  scan_timer->SetTickHandler([this] { assist_.OnScanTick(); });
  assist_.SetTimers(std::move(dwell_timer), std::move(scan_timer));
  assist_.Configure(input);
  assist_.BeginScanning();
}

void ClassChooser::Layout(int width, int height) {
  heading_->Place(0, height / 40, width, height / 8);
  heading_->font_points = std::max(12, height / 8 / 15 * 3 / 4 * 6 / 10);
  // As many columns as make the tiles largest; each tile a square with its
  // name under it.
  const int n = static_cast<int>(tiles_.size());
  const int area_top = height / 6;
  const int area_width = width * 94 / 100;
  const int area_height = height - area_top - height / 30;
  int best_columns = 1;
  int best_side = 0;
  for (int columns = 1; columns <= n; ++columns) {
    const int rows = (n + columns - 1) / columns;
    const int side = std::min(area_width / columns, area_height * 5 / 6 / rows);
    if (side > best_side) best_side = side, best_columns = columns;
  }
  const int columns = best_columns;
  const int cell_w = best_side;
  const int cell_h = best_side * 6 / 5;
  const int gap = cell_w / 12;
  const int rows = (n + columns - 1) / columns;
  const int top = area_top + (area_height - rows * cell_h) / 2;
  for (int i = 0; i < n; ++i) {
    const int row = i / columns;
    const int in_row = std::min(n - row * columns, columns);
    const int left = (width - in_row * cell_w) / 2 + (i % columns) * cell_w;
    const int y = top + row * cell_h;
    Control& tile = *tiles_[static_cast<std::size_t>(i)];
    tile.Place(left + gap / 2, y + gap / 2, cell_w - gap, cell_w - gap);
    tile.font_points = std::max(8, (cell_w - gap) / 15 * 3 / 4 * 6 / 10);
    Control& name = *names_[static_cast<std::size_t>(i)];
    name.Place(left, y + cell_w, cell_w, cell_h - cell_w);
    // A long name gets a smaller letter, so all of it shows under its tile.
    const int letters = std::max<int>(4, static_cast<int>(name.caption.size()));
    name.font_points = std::max(8, std::min((cell_h - cell_w) / 15 * 3 / 4 * 7 / 10, cell_w / 15 * 3 / 4 / letters));
  }
}

const Control* ClassChooser::TileAt(double x, double y) const {
  for (std::size_t i = 0; i < tiles_.size(); ++i) {
    // The name under a tile chooses it too.
    if (tiles_[i]->Contains(x, y) || names_[i]->Contains(x, y)) return tiles_[i];
  }
  return nullptr;
}

void ClassChooser::OnClick(double x, double y) {
  if (const Control* tile = TileAt(x, y)) Choose(tile);
}

void ClassChooser::OnMove(double x, double y) { assist_.OnMove(TileAt(x, y), x, y); }

void ClassChooser::OnSwitch(bool enter) { assist_.OnSwitch(enter); }

void ClassChooser::Choose(const Control* tile) {
  if (done_) return;
  const auto at = std::find(tiles_.begin(), tiles_.end(), tile);
  if (at == tiles_.end()) return;
  done_ = true;
  assist_.Pause();
  chosen_(children_[static_cast<std::size_t>(at - tiles_.begin())]);
}

}  // namespace kanae
