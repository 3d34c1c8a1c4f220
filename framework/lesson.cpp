#include "lesson.h"

#include <system_error>
#include <utility>

#include "messages.h"
#include "picture_library.h"

namespace kanae {

namespace {

constexpr char32_t kTooFewPictures[] = U"画像データが足りません！";

}  // namespace

std::string DataFolderFromArguments(const std::vector<std::string>& arguments) {
  std::string folder;
  for (const std::string& argument : arguments) {
    if (!folder.empty()) folder += ' ';
    folder += argument;
  }
  if (folder.empty()) return folder;
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (folder.back() != separator && folder.back() != '/') folder += separator;
  return folder;
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

Lesson::Lesson(Services services, std::filesystem::path current_folder)
    : services_(services), current_folder_(std::move(current_folder)) {
  services_.speech.SetFinishedHandler([this] { OnSpeechFinished(); });
}

bool Lesson::Start(const std::vector<std::string>& arguments, Game& game) {
  game_ = &game;
  const GameInfo& info = game.Info();

  state.DataFolder = DataFolderFromArguments(arguments);
  std::error_code ec;
  if (!state.DataFolder.empty() && !std::filesystem::is_directory(PathFromUtf8(state.DataFolder), ec)) {
    TellTeacher(U"レッスンのフォルダが見つかりません。\n" + FromUtf8(state.DataFolder));
    return false;
  }

  const auto settings_file = PicturePath(FromUtf8(info.settings_file));
  const SettingsLoadOutcome settings = LoadSettings(settings_file, game.Settings());
  ReportWrite(settings.write, settings_file, U"設定");

  LoadMessageFiles();

  state.PictureFiles = ListPictureFiles(PathFromUtf8(state.DataFolder));
  if (state.PictureFileCount() < info.fewest_pictures) {
    TellTeacher(kTooFewPictures);
    return false;
  }

  const auto selection_file = PicturePath(U"Fname.txt");
  const SelectionOutcome selection = LoadTaskSelection(selection_file, state.PictureFiles, state.TaskPictures);
  ReportWrite(selection.write, selection_file, U"課題の選択");
  // A selection too small for the game (none at all, or one picture where two
  // must be shown) would leave nothing to ask: the lesson then uses every
  // picture, and the teacher's file stays as it is.
  if (state.TaskCount() < info.fewest_tasks) state.TaskPictures = state.PictureFiles;

  const ScreenSize screen = services_.shell.Screen();
  form.width = screen.width_twips;
  form.height = screen.height_twips;
  game.Layout();
  if (info.has_letter_tables) fields.Tables = FillKanaTables();
  return true;
}

void Lesson::LoadMessageFiles() {
  struct MessageFile {
    const char32_t* name;
    const char32_t* default_text;
    std::vector<Text>* messages;
  };
  std::vector<MessageFile> files = {{U"O.txt", kDefaultPraise, &fields.PraiseMessages}};
  if (game_->Info().reads_retry_messages) files.push_back({U"X.txt", kDefaultRetry, &fields.RetryMessages});
  for (const MessageFile& file : files) {
    const auto path = CurrentFolderFile(file.name);
    const MessagesOutcome outcome = LoadMessages(path, file.default_text, *file.messages);
    if (outcome.load == MessagesLoad::kUnreadable) {
      TellTeacher(U"「" + Text(file.name) + U"」を読み込めませんでした。今回は「" + Text(file.default_text) +
                  U"」を使います。\n" + FromUtf8(PathToUtf8(path)));
    }
    ReportWrite(outcome.write, path, Text(U"「") + file.name + U"」");
  }
}

void Lesson::ReportWrite(const WriteOutcome& outcome, const std::filesystem::path& file, const Text& what) {
  if (outcome.ok) return;
  TellTeacher(what + U"を保存できませんでした。今回はこのまま続けます。\n" + FromUtf8(PathToUtf8(file)) + U"\n" +
              FromUtf8(outcome.error));
}

void Lesson::Activate() {
  praise_ahead_.reset();
  retry_ahead_.reset();
  fields.QuestionIndex = 0;
  ShuffleTasks();
  if (game_ != nullptr) game_->NextQuestion();
}

void Lesson::OnKey(int key_code) {
  if (key_code != static_cast<int>(Key::kEscape) && key_code != static_cast<int>(Key::kH) &&
      key_code != static_cast<int>(Key::kN)) {
    return;
  }
  StopPlayer();
  StopSpeech();
  if (key_code == static_cast<int>(Key::kEscape)) {
    services_.trace.Event("exit");
    services_.shell.Quit();
    return;
  }
  if (game_ != nullptr) {
    for (Timer* timer : game_->WaitingTimers()) timer->SetEnabled(false);
  }
  const DialogKind kind = key_code == static_cast<int>(Key::kH) ? DialogKind::kSettings : DialogKind::kTasks;
  services_.trace.Event("dialog", kind == DialogKind::kSettings ? "settings" : "tasks");
  services_.shell.OpenDialog(kind);
}

void Lesson::Speak() {
  const Text reading = services_.speech.Speak(fields.SpeechText);
  services_.trace.Event("speak", ToUtf8(fields.SpeechText.Plain()), ToUtf8(reading));
}

void Lesson::PrepareSpeech(const SpokenText& text) {
  if (!text.empty()) services_.speech.Prepare(text);
}

void Lesson::StopSpeech() { services_.speech.Stop(); }

void Lesson::OnSpeechFinished() {
  services_.trace.Event("speech-end");
  fields.IsSpeaking = false;
}

void Lesson::PlayCue() {
  services_.trace.Event("cue", ToUtf8(fields.CueFile));
  services_.player.Play(CurrentFolderFile(fields.CueFile));
}

void Lesson::WaitForCueEnd() {
  // What the model shows now must be seen while the cue plays.
  services_.shell.Repaint();
  services_.player.WaitForEnd();
  services_.trace.Event("cue-end");
}

void Lesson::PlayCueAndWait(TextView file) {
  fields.CueFile = Text(file);
  PlayCue();
  WaitForCueEnd();
}

bool Lesson::IsCuePlaying() { return services_.player.IsPlaying(); }

void Lesson::StopPlayer() { services_.player.Stop(); }

void Lesson::ApplyPointer(bool cursor_visible) { form.pointer_hidden = !cursor_visible; }

bool Lesson::DrawDistractor(TextView table) { return kanae::DrawDistractor(table, fields.ChoiceLetters, Rnd()); }

Text Lesson::DrawPraise() {
  std::optional<Text> ahead = std::exchange(praise_ahead_, std::nullopt);
  return ahead ? *ahead : DrawMessage(fields.PraiseMessages, Rnd());
}

Text Lesson::DrawRetry() {
  std::optional<Text> ahead = std::exchange(retry_ahead_, std::nullopt);
  return ahead ? *ahead : DrawMessage(fields.RetryMessages, Rnd());
}

void Lesson::AdvanceQuestion() {
  fields.QuestionIndex += 1;
  if (fields.QuestionIndex >= state.TaskCount()) {
    fields.QuestionIndex = 0;
    ShuffleTasks();
  }
  // The next prompt is made while the praise is spoken.
  if (game_ != nullptr) PrepareSpeech(game_->PromptFor(fields.QuestionIndex));
}

void Lesson::ShuffleTasks() { kanae::ShuffleTasks(state.TaskPictures, Rnd()); }

std::filesystem::path Lesson::PicturePath(TextView file_name) const {
  return PathFromUtf8(state.DataFolder + ToUtf8(file_name));
}

std::filesystem::path Lesson::CurrentFolderFile(TextView file_name) const {
  return current_folder_ / PathFromUtf8(ToUtf8(file_name));
}

void Lesson::QuestionShown() {
  ++questions_shown_;
  const auto& tasks = state.TaskPictures;
  const int i = fields.QuestionIndex;
  services_.trace.Event("question", i >= 0 && i < static_cast<int>(tasks.size()) ? ToUtf8(tasks[i]) : "");
}

void Lesson::AnswerJudged(bool right) {
  services_.trace.Event("answer", std::to_string(fields.ChosenIndex), right ? "right" : "wrong");
  // Only a game that tells its praise draws its message here: it draws it
  // next, after the cues, with no other draw between, so the sequence of
  // random draws is the same as without the look-ahead.
  if (game_ == nullptr || game_->PraiseFor(Text(), fields.QuestionIndex).empty()) return;
  if (right) {
    praise_ahead_ = DrawMessage(fields.PraiseMessages, Rnd());
    PrepareSpeech(game_->PraiseFor(*praise_ahead_, fields.QuestionIndex));
  } else {
    retry_ahead_ = DrawMessage(fields.RetryMessages, Rnd());
    PrepareSpeech(*retry_ahead_);
  }
}

void Lesson::TellTeacher(const Text& text) {
  services_.trace.Event("message", ToUtf8(text));
  const Text caption = game_ != nullptr ? game_->Info().title : Text();
  services_.shell.ShowMessage(caption, text);
}

}  // namespace kanae
