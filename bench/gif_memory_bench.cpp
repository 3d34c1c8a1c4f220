// Peak memory of decoding four 8000x8000 GIFs (about 110 KB each) as the
// card-picking game shows them (four cards at once) and as the task selection
// shows them (thumbnails). Goal: the process under 150 MB.
//   gif_memory_bench [--qt] [LESSON_FOLDER]
// LESSON_FOLDER keeps the four GIFs there (named for the card games), to
// measure a game on them. --qt decodes through QImageReader with a scaled size, as before: Qt's GIF
// reader ignores the size and decodes every pixel first.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "fakes.h"
#include "gif_writer.h"
#include "platform/qt/picture_decoder.h"
#include "platform/qt/thumbnail_loader.h"

namespace {

constexpr int kEdge = 8000;
constexpr int kPictures = 4;

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// Drawn in a child process, so that its own 8000x8000 canvas does not count.
bool MakeGifs(const std::vector<QString>& files) {
  const pid_t child = fork();
  if (child == 0) {
    QImage image(kEdge, kEdge, QImage::Format_RGB32);
    for (std::size_t i = 0; i < files.size(); ++i) {
      image.fill(QColor::fromHsv(static_cast<int>(i) * 80, 60, 250));
      QPainter painter(&image);
      painter.setBrush(QColor::fromHsv(static_cast<int>(i) * 80 + 40, 200, 200));
      painter.drawEllipse(1000, 1000, 6000, 5000);
      painter.fillRect(3500, 500, 1000, 7000, Qt::darkBlue);
      painter.end();
      if (!kanae::WriteGif(image, files[i])) _exit(1);
    }
    _exit(0);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  bool through_qt = false;
  kanae::testing::TempFolder temp;
  std::filesystem::path folder = temp.path();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--qt") == 0) {
      through_qt = true;
    } else {
      folder = argv[i];
      std::filesystem::create_directories(folder);
    }
  }
  // Four different first letters, as the card-picking game needs.
  const char* const names[kPictures] = {"あり.gif", "いぬ.gif", "うし.gif", "えび.gif"};
  std::vector<QString> files;
  for (const char* name : names) files.push_back(QString::fromStdString((folder / name).string()));
  if (!MakeGifs(files)) {
    std::fprintf(stderr, "could not write the GIFs\n");
    return 1;
  }
  QGuiApplication app(argc, argv);
  std::printf("GIF files: %lld bytes each, %dx%d\n", static_cast<long long>(QFileInfo(files[0]).size()), kEdge, kEdge);
  std::printf("before decoding: peak %.1f MB\n", PeakMegabytes());

  // A card of the card-picking game on a 1920x1080 screen, and a thumbnail.
  const QSize card(640, 480), thumbnail(160, 160);
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  std::vector<QImage> cards(files.size()), thumbnails(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    threads.emplace_back([&, i] {
      if (through_qt) {
        QImageReader reader(files[i]);
        reader.setAllocationLimit(512);
        reader.setScaledSize(card);
        cards[i] = reader.read();
      } else {
        cards[i] = kanae::DecodePicture(files[i].toStdString(), card);
      }
      thumbnails[i] = kanae::ThumbnailLoader::Decode(files[i], thumbnail);
    });
  }
  for (std::thread& t : threads) t.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int decoded = 0;
  for (std::size_t i = 0; i < files.size(); ++i) decoded += !cards[i].isNull() && !thumbnails[i].isNull();
  std::printf("%s: %d of %d decoded (card %dx%d, thumbnail %dx%d) in %.2f s, peak %.1f MB\n",
              through_qt ? "QImageReader with a scaled size" : "the games' decoders", decoded, kPictures,
              cards[0].width(), cards[0].height(), thumbnails[0].width(), thumbnails[0].height(), seconds,
              PeakMegabytes());
  return decoded == kPictures ? 0 : 1;
}
