#include "web_dialogs.h"

#include "input_settings.h"
#include "model_json.h"
#include "page_bridge.h"
#include "web_shell.h"

namespace kanae::web {

namespace {

WebDialogs* current = nullptr;

std::string Json(const Text& text) { return JsonString(ToUtf8(text)); }

// A picture's word as the task selection shows it under the picture: the
// file name without its last extension.
Text Label(const Text& file) {
  const auto dot = file.rfind(U'.');
  return dot == Text::npos || dot == 0 ? file : file.substr(0, dot);
}

bool InRange(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

}  // namespace

void PageDialogView::Show(const std::string& json) { page::ShowDialog(json); }

void PageDialogView::Close() { page::CloseDialog(); }

std::string SettingsDialogJson(DialogKind kind, const SettingsDialog& model) {
  const SettingsDialogLayout& layout = model.Layout();
  std::string json = "{\"kind\":" + JsonString(DialogName(kind)) + ",\"caption\":" + Json(kSettingsDialogCaption) +
                     ",\"title\":" + Json(layout.title) + ",\"frames\":[";
  for (std::size_t f = 0; f < layout.frames.size(); ++f) {
    const OptionFrame& frame = layout.frames[f];
    if (f > 0) json += ',';
    // The frame's place on the desktop dialog, so the page keeps its columns.
    json += "{\"caption\":" + Json(frame.caption) + ",\"note\":" + Json(frame.note) +
            ",\"left\":" + std::to_string(frame.rect.left) + ",\"top\":" + std::to_string(frame.rect.top) +
            ",\"selected\":" + std::to_string(model.Selected(f)) + ",\"options\":[";
    for (std::size_t o = 0; o < frame.options.size(); ++o) {
      if (o > 0) json += ',';
      json += "{\"name\":" + JsonString(frame.options[o].name) + ",\"caption\":" + Json(frame.options[o].caption) + "}";
    }
    json += "]}";
  }
  return json + "]}";
}

std::string TaskDialogJson(const TaskDialog& model, const Lesson& lesson) {
  std::string json = "{\"kind\":" + JsonString(DialogName(DialogKind::kTasks)) +
                     ",\"caption\":" + Json(kTaskDialogCaption) + ",\"title\":" + Json(U"課題選択画面") +
                     ",\"count\":" + Json(model.CountLine()) + ",\"entries\":[";
  const std::vector<Text>& entries = model.Entries();
  const std::vector<bool>& marks = model.Marks();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) json += ',';
    json += "{\"file\":" + Json(entries[i]) + ",\"label\":" + Json(Label(entries[i])) +
            ",\"path\":" + JsonString(PathToUtf8(lesson.PicturePath(entries[i]))) +
            ",\"marked\":" + (i < marks.size() && marks[i] ? "true" : "false") + "}";
  }
  return json + "]}";
}

WebDialogs::WebDialogs(Lesson& lesson, Game& game, DialogView& view, std::function<void()> redraw)
    : lesson_(lesson), game_(game), view_(view), redraw_(std::move(redraw)) {
  current = this;
}

WebDialogs::~WebDialogs() {
  if (current == this) current = nullptr;
}

WebDialogs* WebDialogs::Current() { return current; }

bool WebDialogs::Handles(DialogKind kind) {
  return kind == DialogKind::kSettings || kind == DialogKind::kTasks || kind == DialogKind::kInput;
}

SettingsDialog* WebDialogs::SettingsModel(DialogKind kind) {
  if (kind == DialogKind::kSettings) return settings_.get();
  if (kind == DialogKind::kInput) return input_.get();
  return nullptr;
}

void WebDialogs::Open(DialogKind kind) {
  if (!Handles(kind)) return;
  if (shown_.has_value() && *shown_ != kind) {
    // The page has room for one dialog: the other one is left unchanged.
    const DialogKind left = *shown_;
    shown_.reset();
    lesson_.LeaveDialog(left);
  }
  // Made on first use and kept for the game, as the desktop's windows are.
  switch (kind) {
    case DialogKind::kSettings:
      if (settings_ == nullptr) settings_ = std::make_unique<SettingsDialog>(game_.SettingsDialog(), game_.Settings());
      settings_->Activate();
      break;
    case DialogKind::kInput:
      if (input_ == nullptr) {
        input_ = std::make_unique<SettingsDialog>(InputDialogLayout(lesson_.input), InputSettingSlots(lesson_.input));
      }
      input_->Activate();
      break;
    case DialogKind::kTasks:
      if (tasks_ == nullptr) tasks_ = std::make_unique<TaskDialog>(lesson_.state, game_.Info().selection_needs_four_initials);
      tasks_->Activate();
      break;
    case DialogKind::kGuide: return;
  }
  shown_ = kind;
  ShowModel();
}

void WebDialogs::ShowModel() {
  if (!shown_.has_value()) return;
  if (*shown_ == DialogKind::kTasks) {
    view_.Show(TaskDialogJson(*tasks_, lesson_));
  } else {
    view_.Show(SettingsDialogJson(*shown_, *SettingsModel(*shown_)));
  }
}

void WebDialogs::Select(DialogKind kind, int frame, int option) {
  if (shown_ != kind) return;
  SettingsDialog* model = SettingsModel(kind);
  if (model == nullptr || !InRange(frame, model->Layout().frames.size()) ||
      !InRange(option, model->Layout().frames[static_cast<std::size_t>(frame)].options.size())) {
    return;
  }
  model->Select(static_cast<std::size_t>(frame), option);
  ShowModel();
}

void WebDialogs::Mark(DialogKind kind, int entry, bool marked) {
  if (shown_ != kind || kind != DialogKind::kTasks || !InRange(entry, tasks_->Entries().size())) return;
  tasks_->SetMark(static_cast<std::size_t>(entry), marked);
  ShowModel();
}

void WebDialogs::MarkAll(DialogKind kind, bool marked) {
  if (shown_ != kind || kind != DialogKind::kTasks) return;
  if (marked) tasks_->SelectAll();
  else tasks_->ClearAll();
  ShowModel();
}

void WebDialogs::Confirm(DialogKind kind) {
  if (shown_ != kind) return;
  if (kind == DialogKind::kTasks) {
    const TaskDialog::DecideOutcome outcome = tasks_->Decide(lesson_.PicturePath(U"Fname.txt"));
    switch (outcome.decision) {
      case TaskDialog::Decision::kAccepted: break;
      case TaskDialog::Decision::kTooFewPictures:
      case TaskDialog::Decision::kTooFewInitials:
        // Every refusal says why; the dialog stays as the teacher left it.
        lesson_.Platform().shell.ShowMessage(kTaskDialogCaption, tasks_->RefusalText());
        return;
      case TaskDialog::Decision::kSaveFailed:
        lesson_.TellTeacher(U"課題の選択を保存できませんでした。今回はこの選択で続けます。\n" +
                            FromUtf8(outcome.write.error));
        break;
    }
  } else {
    const bool input = kind == DialogKind::kInput;
    const auto file = input ? lesson_.PicturePath(kInputSettingsFile)
                            : lesson_.PicturePath(FromUtf8(game_.Info().settings_file));
    const SettingsDialog::ApplyOutcome outcome = SettingsModel(kind)->Apply(file);
    if (outcome.applied == SettingsDialog::Applied::kSaveFailed) {
      lesson_.TellTeacher(Text(input ? U"入力方法の設定" : U"設定") + U"を保存できませんでした。今回はこの設定で続けます。\n" +
                          FromUtf8(outcome.write.error));
    }
  }
  Leave();
}

void WebDialogs::Cancel(DialogKind kind) {
  if (shown_ != kind) return;
  Leave();
}

void WebDialogs::Leave() {
  const DialogKind left = *shown_;
  shown_.reset();
  view_.Close();
  // The lesson restarts, as every way back to the game window does.
  lesson_.LeaveDialog(left);
  if (redraw_) redraw_();
}

}  // namespace kanae::web
