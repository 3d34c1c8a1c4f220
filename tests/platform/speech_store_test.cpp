#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "fakes.h"
#include "platform/speech/speech_store.h"
#include "platform/speech/voiced_speech.h"

namespace kanae::speech {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::TempFolder;

// A voice that counts what it is asked to make; its identity is set by the
// test. Its sound is a short tone, so there is a clip to keep.
class CountingVoice : public Voice {
 public:
  CountingVoice(std::string identity, std::shared_ptr<std::atomic<int>> renders,
                std::shared_ptr<std::atomic<int>> trials)
      : identity_(std::move(identity)), renders_(std::move(renders)), trials_(std::move(trials)) {}
  std::string Name() const override { return "counting"; }
  std::string Identity() const override { return identity_; }
  bool Start(std::string*) override {
    if (trial_) ++*trials_;
    return true;
  }
  void SkipTrial() override { trial_ = false; }
  std::optional<Utterance> Render(const SpokenText& text) override {
    ++*renders_;
    Utterance made{U"ヨミ:" + text.Plain(), {}};
    made.pcm.sample_rate = 16000;
    for (int i = 0; i < 1600; ++i) made.pcm.samples.push_back(static_cast<std::int16_t>((i % 40 < 20) ? 3000 : -3000));
    return made;
  }

 private:
  std::string identity_;
  std::shared_ptr<std::atomic<int>> renders_;
  std::shared_ptr<std::atomic<int>> trials_;
  bool trial_ = true;
};

class SpeechStoreTest : public ::testing::Test {
 protected:
  // A fresh engine (as at the next start of a game) around a counting voice,
  // speaking text until its reading comes; returns that reading.
  Text SpeakWithNewEngine(const std::string& identity, const SpokenText& text,
                          std::shared_ptr<SpeechStore> store = nullptr) {
    std::vector<std::unique_ptr<Voice>> voices;
    voices.push_back(std::make_unique<CountingVoice>(identity, renders, trials));
    std::mutex mutex;
    std::vector<std::function<void()>> posted;
    VoicedSpeech engine(
        [&](std::function<void()> f) {
          std::lock_guard lock(mutex);
          posted.push_back(std::move(f));
        },
        std::move(voices), audio::AudioDevice::Shared(), store != nullptr ? store : this->store);
    std::optional<Text> reading;
    engine.Speak(text, [&reading](const Text& r) { reading = r; });
    for (auto end = std::chrono::steady_clock::now() + 10s; !reading && std::chrono::steady_clock::now() < end;) {
      std::vector<std::function<void()>> batch;
      {
        std::lock_guard lock(mutex);
        batch.swap(posted);
      }
      for (auto& f : batch) f();
      std::this_thread::sleep_for(1ms);
    }
    engine.Stop();
    return reading.value_or(U"(none)");
  }

  std::vector<fs::path> Entries(const fs::path& folder) const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) found.push_back(entry.path());
    return found;
  }

  TempFolder cache;
  std::shared_ptr<std::atomic<int>> renders = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> trials = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<SpeechStore> store = std::make_shared<SpeechStore>(cache / "speech");
};

TEST_F(SpeechStoreTest, AClipMadeInOneRunIsPlayedFromTheStoreInTheNextWithoutTheVoice) {
  const SpokenText prompt = Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな";
  EXPECT_EQ(SpeakWithNewEngine("voice A", prompt), U"ヨミ:はちの、は、は、どれかな");
  EXPECT_EQ(*renders, 1);
  EXPECT_EQ(*trials, 1);
  // The next start: neither the voice's trial nor the text is made again.
  EXPECT_EQ(SpeakWithNewEngine("voice A", prompt), U"ヨミ:はちの、は、は、どれかな");
  EXPECT_EQ(*renders, 1);
  EXPECT_EQ(*trials, 1);
  // What was kept is the clip as it was levelled and encoded.
  const std::optional<KeptSpeech> kept = store->Load("voice A", U"\uFDD2はち\uFDD3の、\uFDD0は\uFDD1、は、どれかな");
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->reading, U"ヨミ:はちの、は、は、どれかな");
  EXPECT_GT(kept->wav.size(), 1600u * 2);
  EXPECT_EQ(std::string(kept->wav.begin(), kept->wav.begin() + 4), "RIFF");
}

// Another voice or a text marked otherwise is another clip: the marks change
// how it is read.
TEST_F(SpeechStoreTest, AnotherVoiceOrAnotherMarkIsMadeAfresh) {
  SpeakWithNewEngine("voice A", Word(U"はち"));
  ASSERT_EQ(*renders, 1);
  const struct {
    const char* what;
    std::string identity;
    SpokenText text;
    int renders_after;
  } cases[] = {
      {"the same", "voice A", Word(U"はち"), 1},
      {"another voice", "voice B", Word(U"はち"), 2},
      {"no word mark", "voice A", SpokenText(U"はち"), 3},
      {"a letter mark", "voice A", Letter(U"はち"), 4},
      {"the same again", "voice A", Word(U"はち"), 4},
      {"another voice again", "voice B", Word(U"はち"), 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SpeakWithNewEngine(c.identity, c.text);
    EXPECT_EQ(*renders, c.renders_after);
  }
}

TEST_F(SpeechStoreTest, ADamagedEntryIsMadeAgainAndReplaced) {
  const SpokenText praise = U"よくできました。これが、" + Word(U"いぬ") + U"、だね。";
  SpeakWithNewEngine("voice A", praise);
  ASSERT_EQ(*renders, 1);
  // The voice's start and the praise: the praise is the larger.
  std::vector<fs::path> entries = Entries(cache / "speech");
  ASSERT_EQ(entries.size(), 2u);
  std::sort(entries.begin(), entries.end(), [](const fs::path& a, const fs::path& b) { return fs::file_size(a) < fs::file_size(b); });
  const fs::path entry = entries[1];
  const std::string whole = cache.Read("speech/" + entry.filename().string());
  const std::string flipped = [&] {
    std::string bytes = whole;
    bytes[bytes.size() - 100] ^= 0x40;
    return bytes;
  }();
  const struct {
    const char* what;
    std::string bytes;
  } damages[] = {
      {"cut short", whole.substr(0, whole.size() / 2)},
      {"empty", ""},
      {"a byte changed", flipped},
      {"only the header", whole.substr(0, 16)},
      {"garbage", std::string(whole.size(), 'x')},
  };
  int expected = 1;
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.what);
    cache.Write("speech/" + entry.filename().string(), damage.bytes);
    EXPECT_EQ(SpeakWithNewEngine("voice A", praise), U"ヨミ:よくできました。これが、いぬ、だね。");
    EXPECT_EQ(*renders, ++expected);
    EXPECT_EQ(cache.Read("speech/" + entry.filename().string()), whole);
  }
  // A link under the entry's name is not followed, and is replaced.
  TempFolder elsewhere;
  elsewhere.Write("clip", whole);
  fs::remove(entry);
  fs::create_symlink(elsewhere / "clip", entry);
  SpeakWithNewEngine("voice A", praise);
  EXPECT_EQ(*renders, ++expected);
  EXPECT_FALSE(fs::is_symlink(entry));
  EXPECT_EQ(elsewhere.Read("clip"), whole);
}

// The folder is the user's alone or it is not used: someone who can write it
// could make the games say anything.
TEST_F(SpeechStoreTest, AFolderThatIsALinkWritableByOthersOrSomeoneElsesIsNotUsed) {
  TempFolder documents;
  fs::create_directory_symlink(documents.path(), cache / "linked");
  fs::create_directory(cache / "open");
  fs::permissions(cache / "open", fs::perms::all);
  fs::create_directory(cache / "foreign");
  fs::permissions(cache / "foreign", fs::perms::owner_all);
  const bool can_give = ::geteuid() == 0 && ::chown((cache / "foreign").c_str(), 65534, 65534) == 0;
  for (const char* folder : {"linked", "open", "foreign"}) {
    if (std::string(folder) == "foreign" && !can_give) continue;
    SCOPED_TRACE(folder);
    auto unused = std::make_shared<SpeechStore>(cache / folder);
    const int before = *renders;
    SpeakWithNewEngine("voice A", Word(U"いぬ"), unused);
    SpeakWithNewEngine("voice A", Word(U"いぬ"), unused);
    // Said both times, as without a store; nothing was written there.
    EXPECT_EQ(*renders, before + 2);
    EXPECT_TRUE(Entries(cache / folder).empty());
  }
  EXPECT_TRUE(Entries(documents.path()).empty());

  // Made by the store itself: 0700 at every level it makes.
  auto made = std::make_shared<SpeechStore>(cache / "kanae" / "speech");
  SpeakWithNewEngine("voice A", Word(U"いぬ"), made);
  EXPECT_EQ(Entries(cache / "kanae" / "speech").size(), 2u);  // the voice's start and the clip
  for (const char* folder : {"kanae", "kanae/speech"}) {
    EXPECT_EQ(fs::status(cache / folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
  }
}

TEST_F(SpeechStoreTest, ThePruneKeepsTheBoundAndTheRecentlyUsed) {
  const KeptSpeech clip{U"ヨミ", std::vector<std::uint8_t>(1000, 7)};
  const auto total_in = [this](const char* folder) {
    std::uintmax_t total = 0;
    for (const fs::path& entry : Entries(cache / folder)) total += fs::file_size(entry);
    return total;
  };
  {
    // Each entry is a little over 1000 bytes: ten fit, not more. The prune
    // runs every few saves; right after one the bound holds.
    const std::uintmax_t budget = 10 * 1200;
    SpeechStore small(cache / "many", budget);
    for (int i = 0; i < 33; ++i) small.Save("voice A", U"phrase " + FromUtf8(std::to_string(i)), clip);
    EXPECT_LE(total_in("many"), budget);
    EXPECT_GE(Entries(cache / "many").size(), 5u);
    // Whole entries went: each one left is read back.
    std::size_t kept = 0;
    for (int i = 0; i < 33; ++i) kept += small.Load("voice A", U"phrase " + FromUtf8(std::to_string(i))).has_value();
    EXPECT_EQ(kept, Entries(cache / "many").size());
  }
  {
    // Three fit, four do not.
    SpeechStore small(cache / "few", 3 * 1200);
    for (const char32_t* text : {U"a", U"b", U"c"}) small.Save("voice A", text, clip);
    // Made older by hand, then a used now: b and c are the least recently used.
    for (const fs::path& entry : Entries(cache / "few")) {
      fs::last_write_time(entry, fs::file_time_type::clock::now() - std::chrono::minutes(10));
    }
    ASSERT_TRUE(small.Load("voice A", U"a").has_value());
    for (int i = 0; i < 14; ++i) small.Save("voice A", U"d", clip);
    EXPECT_LE(total_in("few"), 3u * 1200);
    EXPECT_TRUE(small.Load("voice A", U"a").has_value());
    EXPECT_FALSE(small.Load("voice A", U"b").has_value());
    EXPECT_FALSE(small.Load("voice A", U"c").has_value());
    EXPECT_TRUE(small.Load("voice A", U"d").has_value());
  }
}

}  // namespace
}  // namespace kanae::speech
