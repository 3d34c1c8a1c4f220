#include "lesson.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "messages.h"
#include "picture_library.h"

namespace kanae {

namespace {

// The same tasks in any order: a dialog may give them back in the folder's.
bool SameTasks(std::vector<Text> a, std::vector<Text> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

constexpr char32_t kTooFewPictures[] = U"画像データが足りません！";

// The refusal says which folder, how many pictures were found and how many
// the game needs, and which formats count; files left out are named.
Text TooFewPicturesText(const Text& folder, const LessonCheck& check, const GameInfo& info) {
  const auto count = [](std::size_t n) { return FromUtf8(std::to_string(n)); };
  Text text = Text(kTooFewPictures) + U"\nフォルダ：" + folder + U"\n見つかった絵：" + count(check.pictures.size()) +
              U"枚（このゲームには" + count(static_cast<std::size_t>(info.fewest_pictures)) +
              U"枚以上必要です）\n使える形式：" + kPictureFormats;
  for (const Text& line : DescribeProblems(check)) text += U"\n" + line;
  return text;
}

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
    : services_(services),
      current_folder_(std::move(current_folder)),
      assist_(
          form.markers, [this] { return game_ != nullptr ? game_->AnswerControls() : std::vector<const Control*>{}; },
          [this](const Control* chosen) { OnPointer({PointerAction::kChoose, chosen, 1}); },
          [this] { return mode_ == LessonMode::kAsking && !fields.is_speaking; }) {
  services_.speech.SetFinishedHandler([this] { OnSpeechFinished(); });
  auto dwell_timer = CreateTimer(InputAssist::kDwellTickMilliseconds, [this] { assist_.OnDwellTick(); });
  auto scan_timer = CreateTimer(2000, [this] { assist_.OnScanTick(); });
  assist_.SetTimers(std::move(dwell_timer), std::move(scan_timer));
}

bool Lesson::Start(const std::vector<std::string>& arguments, Game& game) {
  game_ = &game;
  const GameInfo& info = game.Info();

  state.data_folder = DataFolderFromArguments(arguments);
  std::error_code ec;
  if (!state.data_folder.empty() && !std::filesystem::is_directory(PathFromUtf8(state.data_folder), ec)) {
    TellTeacher(U"レッスンのフォルダが見つかりません。\n" + FromUtf8(state.data_folder));
    return false;
  }

  const auto settings_file = PicturePath(FromUtf8(info.settings_file));
  const SettingsLoadOutcome settings = LoadSettings(settings_file, game.Settings());
  if (settings.load == SettingsLoad::kUnreadable) {
    ReportUnreadable(settings_file, U"設定ファイル", U"今回は初めの設定で続けます。", settings.read_error);
  }
  if (settings.truncated) ReportTruncated(settings_file, U"設定ファイル");
  ReportWrite(settings.write, settings_file, U"設定");

  LoadMessageFiles();
  // Never created here: a lesson folder stays as it is until the teacher
  // saves the input dialog.
  ReadInputSettings(PicturePath(kInputSettingsFile), input);

  const PictureListing listing = ListPictureFolder(PathFromUtf8(state.data_folder));
  state.picture_files = listing.pictures;
  if (!listing.complete) {
    TellTeacher(U"レッスンのフォルダを最後まで読めませんでした。見つかった絵だけで続けます。"
                U"課題の選択はそのままにしてあります。\n" +
                FromUtf8(state.data_folder) + U"\n" + FromUtf8(listing.error));
  }
  const LessonCheck check = CheckLesson(PathFromUtf8(state.data_folder),
                                        current_folder_.empty() ? std::filesystem::path(".") : current_folder_,
                                        reading_guess_);
  if (state.PictureFileCount() < info.fewest_pictures) {
    TellTeacher(TooFewPicturesText(
        state.data_folder.empty() ? U"（現在のフォルダ）" : FromUtf8(state.data_folder), check, info));
    return false;
  }
  NoteLessonCheck(check);

  const RecordPlace record = record_.Open(PathFromUtf8(state.data_folder));
  // Said without a click: a modal here would stand between the child and
  // the game at every start of a read-only lesson, or of one where something
  // is planted under the record's name (its notice says so and where the
  // lines go instead).
  Text read_only_notice;
  for (const std::string& notice : record_.TakeNotices()) {
    if (!record.in_user_folder) {
      TellTeacher(FromUtf8(notice));
      continue;
    }
    read_only_notice += (read_only_notice.empty() ? U"" : U"\n") + FromUtf8(notice);
  }
  if (record.in_user_folder && read_only_notice.empty()) {
    read_only_notice = U"レッスンのフォルダに書き込めないので、学習記録はこちらに保存します。\n" +
                       FromUtf8(PathToUtf8(record.folder));
  }

  const auto selection_file = PicturePath(U"Fname.txt");
  if (listing.complete) {
    const SelectionOutcome selection = LoadTaskSelection(selection_file, state.picture_files, state.task_pictures);
    if (selection.load == SelectionLoad::kUnreadable) {
      ReportUnreadable(selection_file, U"課題の選択「Fname.txt」", U"今回はすべての絵で続けます。", selection.read_error);
    }
    if (selection.truncated) ReportTruncated(selection_file, U"課題の選択「Fname.txt」");
    const Text change = DescribeSelectionChange(selection);
    if (selection.left_read_only) {
      // Said at every start while the file stays protected: without a click.
      read_only_notice += (read_only_notice.empty() ? U"" : U"\n") + change;
    } else if (!change.empty() && selection.write.ok) {
      TellTeacher(change);  // once: the file now matches the folder
    }
    if (!read_only_notice.empty() && !selection.write.ok) {
      // The same read-only folder: one banner says both, every start.
      read_only_notice += U"\n課題の選択「Fname.txt」も保存できないので、今回はこのまま続けます。";
    } else {
      ReportWrite(selection.write, selection_file, U"課題の選択");
    }
  } else {
    // Compared with part of the folder, the teacher's selection would look
    // out of date and be rebuilt: it is left alone for this run.
    state.task_pictures = state.picture_files;
  }
  if (!read_only_notice.empty()) {
    services_.trace.Event("notice", ToUtf8(read_only_notice));
    services_.shell.ShowBanner(read_only_notice);
  }
  // A selection too small for the game (none at all, or one picture where two
  // must be shown) would leave nothing to ask: the lesson then uses every
  // picture, and the teacher's file stays as it is.
  if (state.TaskCount() < info.fewest_tasks) state.task_pictures = state.picture_files;

  const ScreenSize screen = services_.shell.Screen();
  form.width = screen.width_twips;
  form.height = screen.height_twips;
  game.Layout();
  if (info.has_letter_tables) fields.tables = FillKanaTables();
  // The first prompt is made while the window comes up; it is spoken once
  // the window is seen.
  DrawOrderAhead();
  return true;
}

void Lesson::NoteLessonCheck(const LessonCheck& check) {
  // For the teacher, never in the child's way: the menu shows the same check
  // before the game starts; here it goes to the trace only.
  for (const GameCount& count : check.games) {
    if (count.game->program == game_->Info().program && !count.enough) {
      services_.trace.Event("notice", ToUtf8(DescribeGames(LessonCheck{{}, true, {}, {}, {count}}).front()));
    }
  }
  for (const Text& line : DescribeProblems(check)) services_.trace.Event("notice", ToUtf8(line));
}

void Lesson::LoadMessageFiles() {
  struct MessageFile {
    const char32_t* name;
    const char32_t* default_text;
    std::vector<Text>* messages;
  };
  std::vector<MessageFile> files = {{U"O.txt", kDefaultPraise, &fields.praise_messages}};
  if (game_->Info().reads_retry_messages) files.push_back({U"X.txt", kDefaultRetry, &fields.retry_messages});
  for (const MessageFile& file : files) {
    const auto path = CurrentFolderFile(file.name);
    const MessagesOutcome outcome = LoadMessages(path, file.default_text, *file.messages);
    if (outcome.load == MessagesLoad::kUnreadable) {
      Text text = U"「" + Text(file.name) + U"」を読み込めませんでした。今回は「" + Text(file.default_text) +
                  U"」を使います。\n" + FromUtf8(PathToUtf8(path));
      if (outcome.read_error != 0) text += U"\n" + ReadFailureReason(outcome.read_error);
      TellTeacher(text);
    }
    if (outcome.truncated) {
      TellTeacher(U"「" + Text(file.name) + U"」が大きすぎるため、初めの部分の言葉（" +
                  FromUtf8(std::to_string(kMessagesLimit)) + U"個まで）だけを使います。\n" + FromUtf8(PathToUtf8(path)));
    }
    ReportWrite(outcome.write, path, Text(U"「") + file.name + U"」");
  }
}

void Lesson::ReportUnreadable(const std::filesystem::path& file, const Text& what, const Text& fallback, int error) {
  TellTeacher(what + U"を読み込めませんでした。" + fallback + U"ファイルはそのままにしてあります。\n" +
              FromUtf8(PathToUtf8(file)) + U"\n" + ReadFailureReason(error));
}

void Lesson::ReportTruncated(const std::filesystem::path& file, const Text& what) {
  TellTeacher(what + U"が大きすぎるため、初めの部分だけを読み込みました。\n" + FromUtf8(PathToUtf8(file)));
}

void Lesson::ReportWrite(const WriteOutcome& outcome, const std::filesystem::path& file, const Text& what) {
  if (outcome.ok) return;
  TellTeacher(what + U"を保存できませんでした。今回はこのまま続けます。\n" + FromUtf8(PathToUtf8(file)) + U"\n" +
              FromUtf8(outcome.error));
}

void Lesson::Restart() {
  // A feedback timer left running would tear down the new first question.
  StopTimers();
  mode_ = LessonMode::kStarting;
  prompt_ = {};
  assist_.Configure(input);
  attempt_ = 1;
  questions_answered_ = 0;
  right_first_time_ = 0;
  praise_ahead_.reset();
  retry_ahead_.reset();
  fields.question_index = 0;
  if (order_ahead_ && SameTasks(*order_ahead_, state.task_pictures)) {
    state.task_pictures = std::move(*order_ahead_);
  } else {
    ShuffleTasks();
  }
  order_ahead_.reset();
  if (game_ != nullptr) game_->NextQuestion();
}

void Lesson::DrawOrderAhead() {
  order_ahead_.reset();
  FirstPromptAhead();
}

SpokenText Lesson::FirstPromptAhead() {
  if (game_ == nullptr) return {};
  // None drawn yet, or the tasks changed in a dialog: the one draw the
  // restart would otherwise make.
  if (!order_ahead_ || !SameTasks(*order_ahead_, state.task_pictures)) {
    order_ahead_.reset();
    if (state.task_pictures.empty()) return {};
    std::vector<Text> order = state.task_pictures;
    kanae::ShuffleTasks(order, Rnd());
    order_ahead_ = std::move(order);
  }
  // The game composes its prompt from the lesson's tasks and its settings
  // (which a dialog may have changed): it is lent the new order for that.
  std::swap(state.task_pictures, *order_ahead_);
  const SpokenText first_prompt = game_->PromptFor(0);
  std::swap(state.task_pictures, *order_ahead_);
  PrepareSpeech(first_prompt);
  return first_prompt;
}

void Lesson::ActivateWhenPromptReady() {
  if (mode_ != LessonMode::kStarting) return;  // ended or paused before the window was seen
  RestartWhenPromptReady();
}

void Lesson::RestartWhenPromptReady() {
  StopTimers();
  mode_ = LessonMode::kStarting;
  const std::uint64_t wait = ++prompt_waits_;
  const SpokenText prompt = FirstPromptAhead();
  if (prompt.empty()) {
    EndPromptWait(wait);
    return;
  }
  services_.speech.WhenReady(prompt, [this, wait] { EndPromptWait(wait); });
  if (wait != prompt_waits_) return;  // ready at once
  if (!prompt_wait_timer_) prompt_wait_timer_ = services_.timers.CreateTimer(kPromptWaitMilliseconds);
  prompt_wait_timer_->SetEnabled(false);  // a new interval from now
  prompt_wait_timer_->SetTickHandler([this, wait] { EndPromptWait(wait); });
  prompt_wait_timer_->SetEnabled(true);
}

void Lesson::EndPromptWait(std::uint64_t wait) {
  if (wait != prompt_waits_) return;
  ++prompt_waits_;  // the other way of ending it comes to nothing
  if (prompt_wait_timer_) prompt_wait_timer_->SetEnabled(false);
  if (mode_ != LessonMode::kStarting) return;  // a dialog or Esc came first
  Restart();
}

void Lesson::LeaveDialog(DialogKind kind) {
  std::erase(open_dialogs_, kind);
  if (mode_ != LessonMode::kDialog || !open_dialogs_.empty() || report_shown_) return;
  RestartWhenPromptReady();
}

void Lesson::LeaveReport() {
  if (!std::exchange(report_shown_, false)) return;
  if (mode_ != LessonMode::kDialog || !open_dialogs_.empty()) return;
  RestartWhenPromptReady();
}

void Lesson::OnPointer(const PointerEvent& event) {
  if (mode_ == LessonMode::kFinished) {
    // Moving over the screen is no answer to the ending: a touch or click is.
    if (ending_said_ && (event.action == PointerAction::kClick || event.action == PointerAction::kPress)) GoBack();
    return;
  }
  if (!TakesInput(mode_) || game_ == nullptr) return;
  // Never read past a task list that changed under the question.
  if (fields.question_index < 0 || fields.question_index >= state.TaskCount()) return;
  if (event.action == PointerAction::kPress && event.button == 2 && input.repeat_key != 0 &&
      !game_->UsesRightButton()) {
    RepeatPrompt();
    return;
  }
  if (event.action == PointerAction::kMove) {
    assist_.OnMove(event.control, event.x, event.y);
    // With dwell, passing over an answer never answers; resting on it does.
    if (assist_.DwellOn()) return;
  }
  game_->OnPointer(event);
}

std::unique_ptr<Timer> Lesson::CreateTimer(int interval_milliseconds, std::function<void()> on_tick) {
  std::unique_ptr<Timer> timer = services_.timers.CreateTimer(interval_milliseconds);
  timer->SetTickHandler([this, on_tick = std::move(on_tick)] {
    if (TakesTicks(mode_)) on_tick();
  });
  timers_.push_back(timer.get());
  return timer;
}

void Lesson::StopTimers() {
  for (Timer* timer : timers_) timer->SetEnabled(false);
}

void Lesson::BeginFeedback() {
  if (mode_ == LessonMode::kAsking) mode_ = LessonMode::kFeedback;
  assist_.Pause();
  prompt_ = {};
}

void Lesson::OnKey(int key_code) {
  if (mode_ == LessonMode::kFinished && key_code != static_cast<int>(Key::kEscape)) {
    if (ending_said_) GoBack();
    return;
  }
  if (key_code == static_cast<int>(Key::kSpace) || key_code == static_cast<int>(Key::kEnter)) {
    if (mode_ != LessonMode::kAsking) return;
    if (assist_.OnSwitch(key_code == static_cast<int>(Key::kEnter))) return;
    if (key_code == static_cast<int>(Key::kSpace) && input.repeat_key != 0) RepeatPrompt();
    return;
  }
  if (key_code != static_cast<int>(Key::kEscape) && key_code != static_cast<int>(Key::kH) &&
      key_code != static_cast<int>(Key::kN) && key_code != static_cast<int>(Key::kS) &&
      key_code != static_cast<int>(Key::kR) && key_code != static_cast<int>(Key::kF1)) {
    return;
  }
  if (mode_ == LessonMode::kEnded) return;
  assist_.Pause();
  StopPlayer();
  StopSpeech();
  if (key_code == static_cast<int>(Key::kEscape)) {
    mode_ = LessonMode::kEnded;
    StopTimers();
    record_.WaitUntilDurable();
    services_.trace.Event("exit");
    services_.shell.Quit();
    return;
  }
  // Nothing of the game runs on behind a dialog or the report.
  StopTimers();
  // The restart's first prompt is made while the teacher is away.
  if (mode_ != LessonMode::kDialog) DrawOrderAhead();
  if (key_code == static_cast<int>(Key::kR)) {
    // The report reads the record from disk: every answer so far is in it.
    record_.WaitUntilDurable();
    const std::filesystem::path lesson_folder = PathFromUtf8(state.data_folder);
    const std::filesystem::path page = RecordPlaceFor(lesson_folder).folder / PathFromUtf8("学習記録.html");
    // Paused as for a dialog, so nothing talks behind the report; the shell
    // calls LeaveReport when the teacher comes back.
    mode_ = LessonMode::kDialog;
    report_shown_ = true;
    services_.shell.ShowLearningReport(lesson_folder, page);
    return;
  }
  mode_ = LessonMode::kDialog;
  const DialogKind kind = key_code == static_cast<int>(Key::kH)   ? DialogKind::kSettings
                          : key_code == static_cast<int>(Key::kN) ? DialogKind::kTasks
                          : key_code == static_cast<int>(Key::kS) ? DialogKind::kInput
                                                                  : DialogKind::kGuide;
  if (std::find(open_dialogs_.begin(), open_dialogs_.end(), kind) == open_dialogs_.end()) open_dialogs_.push_back(kind);
  services_.trace.Event("dialog", kind == DialogKind::kSettings ? "settings"
                                  : kind == DialogKind::kTasks  ? "tasks"
                                  : kind == DialogKind::kInput  ? "input"
                                                                : "guide");
  services_.shell.OpenDialog(kind);
}

void Lesson::Speak() {
  // A reading the voice is still working out is traced when it is known;
  // nothing waits for it.
  services_.speech.Speak(fields.speech_text, [this, text = ToUtf8(fields.speech_text.Plain())](const Text& reading) {
    services_.trace.Event("speak", text, ToUtf8(reading));
  });
}

void Lesson::PrepareSpeech(const SpokenText& text) {
  if (!text.empty()) services_.speech.Prepare(text);
}

void Lesson::SpeakPrompt() {
  prompt_ = fields.speech_text;
  Speak();
}

void Lesson::RepeatPrompt() {
  if (prompt_.empty()) return;
  fields.speech_text = prompt_;
  Speak();
}

void Lesson::StopSpeech() { services_.speech.Stop(); }

void Lesson::OnSpeechFinished() {
  services_.trace.Event("speech-end");
  fields.is_speaking = false;
  if (mode_ == LessonMode::kFinished) ending_said_ = true;
  if (prompt_playing_) {
    prompt_playing_ = false;
    time_base_ms_ = clock_->SteadyMilliseconds();
    blocked_ms_ = 0;
  }
  if (mode_ == LessonMode::kAsking) assist_.BeginScanning();
}

void Lesson::PlayCue() {
  services_.trace.Event("cue", ToUtf8(fields.cue_file));
  services_.player.Play(CurrentFolderFile(fields.cue_file));
}

void Lesson::WaitForCueEnd() {
  // What the model shows now must be seen while the cue plays.
  services_.shell.Repaint();
  const std::int64_t wait_start = clock_->SteadyMilliseconds();
  services_.player.WaitForEnd();
  // No input is taken while a cue is waited for: not the child's time.
  blocked_ms_ += clock_->SteadyMilliseconds() - wait_start;
  services_.trace.Event("cue-end");
}

void Lesson::PlayCueAndWait(TextView file) {
  fields.cue_file = Text(file);
  PlayCue();
  WaitForCueEnd();
}

bool Lesson::IsCuePlaying() { return services_.player.IsPlaying(); }

void Lesson::StopPlayer() { services_.player.Stop(); }

void Lesson::ApplyPointer(bool cursor_visible) { form.pointer_hidden = !cursor_visible; }

bool Lesson::DrawDistractor(TextView table) { return kanae::DrawDistractor(table, fields.choice_letters, Rnd()); }

Text Lesson::DrawPraise() {
  std::optional<Text> ahead = std::exchange(praise_ahead_, std::nullopt);
  return ahead ? *ahead : DrawMessage(fields.praise_messages, Rnd());
}

Text Lesson::DrawRetry() {
  std::optional<Text> ahead = std::exchange(retry_ahead_, std::nullopt);
  return ahead ? *ahead : DrawMessage(fields.retry_messages, Rnd());
}

void Lesson::AdvanceQuestion() {
  ++questions_answered_;
  if (attempt_ == 1) ++right_first_time_;
  MoveToNextTask();
}

bool Lesson::EndIfComplete() {
  if (mode_ == LessonMode::kFinished) return true;
  if (input.question_count <= 0 || questions_answered_ < input.question_count) return false;
  StopTimers();
  assist_.Pause();
  StopPlayer();
  mode_ = LessonMode::kFinished;
  ending_said_ = false;
  prompt_ = {};
  ending_.Show(questions_answered_, right_first_time_);
  form.pointer_hidden = false;
  record_.WaitUntilDurable();
  services_.trace.Event("end", std::to_string(questions_answered_), std::to_string(right_first_time_));
  fields.speech_text = U"おしまい";
  Speak();
  fields.is_speaking = true;
  return true;
}

void Lesson::GoBack() {
  mode_ = LessonMode::kEnded;
  StopSpeech();
  services_.trace.Event("exit");
  services_.shell.Quit();
}

void Lesson::MoveToNextTask() {
  attempt_ = 1;
  fields.question_index += 1;
  if (fields.question_index >= state.TaskCount()) {
    fields.question_index = 0;
    ShuffleTasks();
  }
  // The next prompt is made while the praise is spoken.
  if (game_ != nullptr) PrepareSpeech(game_->PromptFor(fields.question_index));
}

bool Lesson::SkipNamelessTasks() {
  // Bounded: a reshuffle at the end of the list can put nameless tasks first
  // again, but never more of them than there are.
  for (int tries = 0; tries <= 2 * state.TaskCount(); ++tries) {
    const int i = fields.question_index;
    if (i < 0 || i >= state.TaskCount()) return false;
    if (!NameOfPicture(state.task_pictures[i]).empty()) return true;
    MoveToNextTask();
  }
  return false;
}

void Lesson::ShuffleTasks() { kanae::ShuffleTasks(state.task_pictures, Rnd()); }

std::filesystem::path Lesson::PicturePath(TextView file_name) const {
  return PathFromUtf8(state.data_folder + ToUtf8(file_name));
}

std::filesystem::path Lesson::CurrentFolderFile(TextView file_name) const {
  return current_folder_ / PathFromUtf8(ToUtf8(file_name));
}

void Lesson::QuestionShown() {
  // Every answer of the last question is on disk before the next one is asked.
  record_.WaitUntilDurable();
  prompt_playing_ = true;
  question_shown_ms_ = clock_->SteadyMilliseconds();
  ++questions_shown_;
  if (mode_ != LessonMode::kDialog && mode_ != LessonMode::kEnded) {
    mode_ = LessonMode::kAsking;
    assist_.Pause();
    assist_.BeginScanning();  // at once when no prompt is being said
  }
  const auto& tasks = state.task_pictures;
  const int i = fields.question_index;
  services_.trace.Event("question", i >= 0 && i < static_cast<int>(tasks.size()) ? ToUtf8(tasks[i]) : "");
}

void Lesson::AnswerJudged(bool right, const Text& asked, const Text& chosen) {
  AnswerJudged(right, asked, chosen, Text(), Text());
}

void Lesson::AnswerJudged(bool right, const Text& asked, const Text& chosen, const Text& asked_letter,
                          const Text& chosen_letter) {
  services_.trace.Event("answer", std::to_string(fields.chosen_index), right ? "right" : "wrong");
  RecordEntry entry;
  entry.asked = asked;
  entry.chosen = chosen;
  entry.asked_letter = asked_letter;
  entry.chosen_letter = chosen_letter;
  entry.right = right;
  entry.seconds = SecondsSinceTimeBase();
  entry.attempt = attempt_;
  Remember(std::move(entry));
  if (!right) ++attempt_;
  if (!prompt_playing_) {
    time_base_ms_ = clock_->SteadyMilliseconds();
    blocked_ms_ = 0;
  }
  // Only a game that tells its praise draws its message here: it draws it
  // next, after the cues, with no other draw between, so the sequence of
  // random draws is the same as without the look-ahead.
  if (game_ == nullptr || game_->PraiseFor(Text(), fields.question_index).empty()) return;
  if (right) {
    praise_ahead_ = DrawMessage(fields.praise_messages, Rnd());
    PrepareSpeech(game_->PraiseFor(*praise_ahead_, fields.question_index));
  } else {
    retry_ahead_ = DrawMessage(fields.retry_messages, Rnd());
    PrepareSpeech(*retry_ahead_);
  }
}

void Lesson::LetterCaught(const Text& letter) {
  RecordEntry entry;
  entry.asked = letter;
  entry.chosen = letter;
  entry.right = true;
  // No prompt comes before a catch: the time counts from the letter's first jump.
  entry.seconds = static_cast<double>(clock_->SteadyMilliseconds() - question_shown_ms_) / 1000.0;
  entry.attempt = attempt_;
  entry.phase = RecordPhase::kCatch;
  Remember(std::move(entry));
}

double Lesson::SecondsSinceTimeBase() const {
  if (prompt_playing_) return 0;
  return static_cast<double>(clock_->SteadyMilliseconds() - time_base_ms_ - blocked_ms_) / 1000.0;
}

void Lesson::Remember(RecordEntry entry) {
  if (game_ == nullptr) return;
  entry.date_time = clock_->LocalDateTime();
  entry.game = game_->Info().title;
  entry.child = child;
  const int i = fields.question_index;
  if (i >= 0 && i < state.TaskCount()) entry.picture = state.task_pictures[i];
  // The settings that make a question harder or easier, by their names in the
  // game's settings list; a game without one leaves its column empty.
  for (const SettingSlot& slot : game_->Settings()) {
    if (slot.name == "DistractorCount") entry.distractors = *slot.value;
    if (slot.name == "FourCards") entry.cards = *slot.value != 0 ? 4 : 2;
    if (slot.name == "TouchMode") entry.touch = *slot.value != 0;
  }
  const bool appended = record_.Append(entry);
  // Said once: a refusal found only now moves the record aside for good.
  for (const std::string& notice : record_.TakeNotices()) TellTeacher(FromUtf8(notice));
  if (appended || record_failure_told_) return;
  record_failure_told_ = true;
  TellTeacher(U"学習記録を保存できませんでした。ゲームはこのまま続けます。\n" + FromUtf8(record_.error()));
}

void Lesson::TellTeacher(const Text& text) {
  services_.trace.Event("message", ToUtf8(text));
  const Text caption = game_ != nullptr ? game_->Info().title : Text();
  services_.shell.ShowMessage(caption, text);
}

}  // namespace kanae
