// The page's adapters that are plain C++: the model as the renderer reads it,
// and what the browser's voice is given. Run in wasm under node, whose own
// JSON.parse reads the model back.
#include <gtest/gtest.h>

#include <string>

#include "controls.h"
#include "platform/web/browser_reading.h"
#include "platform/web/model_json.h"
#include "tests/web/json_query.h"

namespace kanae::web {
namespace {

std::string Query(const std::string& json, const char* expression) { return JsonQuery(json, "m", expression); }

TEST(ModelJson, CarriesWhatIsDrawnBackToFrontWithItsLookAndNothingHidden) {
  Form form;
  form.width = 15360;
  form.height = 11520;
  Control& picture = form.Add("picture", ControlKind::kImage, 1);
  picture.Place(3840, 2880, 7680, 5760);
  picture.visible = true;
  picture.picture = "/lessons/demo/いぬ.jpg";
  Control& card = form.Add("cards(0)", ControlKind::kLabel, 5);
  card.Place(100.5, 200, 2000, 2000);
  card.visible = true;
  card.caption = U"\"あ\"\n\\い";
  card.font_points = 72;
  card.back_colour = kLightBlue;
  card.fore_colour = kRed;
  card.centred = true;
  Control& cross = form.Add("cross", ControlKind::kLabel, 9);
  cross.Place(0, 0, 1000, 1000);
  cross.visible = true;
  cross.transparent = true;
  cross.caption = U"×";
  Control& hidden = form.Add("hidden", ControlKind::kLabel, 20);
  hidden.Place(0, 0, 1000, 1000);
  Control& no_size = form.Add("no_size", ControlKind::kLabel, 20);
  no_size.visible = true;
  // Added after the picture but behind it.
  Control& back = form.Add("back", ControlKind::kLabel, 0);
  back.Place(0, 0, 15360, 11520);
  back.visible = true;
  form.markers.dwell_target = &card;
  form.markers.dwell_progress = 0.25;
  FrameExtras extras;
  extras.answers = {&hidden, &card};
  extras.pictures_ahead = {"/lessons/demo/ねこ.gif"};
  extras.report_frames = true;
  const std::string json = ModelJson(form, extras);

  const struct {
    const char* expression;
    const char* expected;
  } cases[] = {
      {"m.controls.map(c => c.name)", R"j(["back","picture","cards(0)","cross"])j"},
      {"[m.width, m.height, m.back, m.pointerHidden]", R"j([15360,11520,"#008080",false])j"},
      {"m.controls[2].caption", R"j("\"あ\"\n\\い")j"},
      {"[m.controls[2].left, m.controls[2].points, m.controls[2].fore, m.controls[2].back, m.controls[2].centred]",
       R"j([100.5,72,"#ff0000","#8080ff",true])j"},
      {"[m.controls[3].back, m.controls[3].caption]", R"j([null,"×"])j"},
      {"m.controls[1].picture", R"j("/lessons/demo/いぬ.jpg")j"},
      {"[m.dwell, m.dwellProgress, m.scan]", "[2,0.25,-1]"},
      {"m.answers", "[2]"},  // the hidden answer is left out
      {"[m.picturesAhead, m.reportFrames]", R"j([["/lessons/demo/ねこ.gif"],true])j"},
  };
  for (const auto& c : cases) EXPECT_EQ(Query(json, c.expression), c.expected) << c.expression << "\n" << json;
}

TEST(ModelJson, ControlCharactersInACaptionStayValidJson) {
  Form form;
  Control& label = form.Add("label", ControlKind::kLabel, 0);
  label.Place(0, 0, 10, 10);
  label.visible = true;
  label.caption = U"a\tb\rc\x01";
  EXPECT_EQ(Query(ModelJson(form, {}), "m.controls[0].caption"), R"j("a\tb\rc\u0001")j");
}

TEST(BrowserReading, NamesAndLettersAreSpelledAsTheyAreToSound) {
  const struct {
    SpokenText text;
    const char* reading;
    const char* letter_files;
  } cases[] = {
      // The name is the word はち, the letter is read by its name, the particle stays.
      {Word(U"はち") + U"の、" + Letter(U"は") + U"、は、どれかな", "ハチの、ハ、は、どれかな", "は.wav"},
      {Word(U"へりこぷたー") + U"、は、どっちかな", "ヘリコプター、は、どっちかな", ""},
      {U"これが、" + Word(U"をとめ") + U"、だね", "これが、ヲトメ、だね", ""},
      // A name with kanji keeps the voice's own reading.
      {Word(U"犬") + U"の、" + Letter(U"い"), "犬の、イ", "い.wav"},
      // A katakana letter plays its own file, a digit its full-width letter's.
      {Letter(U"ア"), "ア", "ア.wav"},
      // A number before a kana counter is spelled out.
      {Word(U"3びきのこぶた") + U"の、" + Letter(U"3"), "サンビキのこぶたの、サン", "３.wav"},
      {Letter(U"ー"), "ノバスボウ", "ー.wav"},
      {U"よくできました", "よくできました", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf8(BrowserReading(c.text)), c.reading) << ToUtf8(c.text.Plain());
    EXPECT_EQ(LetterFiles(c.text), c.letter_files) << ToUtf8(c.text.Plain());
  }
}

}  // namespace
}  // namespace kanae::web
