// Small pictures for the task selection, decoded on worker threads, so the
// dialog opens at once and each thumbnail appears when it is ready. Only the
// thumbnails asked for are decoded, newest requests first, and only the most
// recently asked for are kept: a folder of thousands of pictures costs what
// the screen shows, not what the folder holds. A picture that cannot be
// decoded gives a null image.
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <deque>
#include <functional>
#include <list>
#include <mutex>

namespace kanae {

class ThumbnailLoader : public QObject {
 public:
  // ready runs on the GUI thread for each thumbnail decoded after a Request.
  ThumbnailLoader(QSize largest, std::function<void(const QString& path, const QImage& image)> ready,
                  QObject* parent = nullptr);
  ~ThumbnailLoader() override;

  // The thumbnail when it has been decoded already; otherwise queues it.
  bool Request(const QString& path, QImage& thumbnail);
  // Drops the queued thumbnails that are not in wanted (the teacher scrolled
  // past them); those being decoded finish.
  void KeepOnly(const QSet<QString>& wanted);
  // Blocks until every requested thumbnail is decoded (their ready calls
  // follow as posted events).
  void WaitForAll();
  int Pending() const { return static_cast<int>(pending_.size()); }

  // Decodes one picture to fit in largest (null when it cannot be read).
  static QImage Decode(const QString& path, QSize largest);

  // How many decoded thumbnails are kept for the run.
  static constexpr int kMostKept = 600;

 private:
  void DecodeNext();
  void Deliver(const QString& path, const QImage& image);

  QSize largest_;
  std::function<void(const QString&, const QImage&)> ready_;
  QHash<QString, QImage> decoded_;
  std::list<QString> decoded_order_;  // least recently asked for first
  QSet<QString> pending_;             // queued or being decoded
  std::mutex queue_mutex_;
  std::deque<QString> queue_;  // not yet started, first to start first
  QThreadPool pool_;  // last: its destructor waits for the workers that post to this object
};

}  // namespace kanae
