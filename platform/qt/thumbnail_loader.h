// Small pictures for the task selection, decoded on worker threads and kept
// for the whole run, so the dialog opens at once and each thumbnail appears
// when it is ready. A picture that cannot be decoded gives a null image.
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <functional>

namespace kanae {

class ThumbnailLoader : public QObject {
 public:
  // ready runs on the GUI thread for each thumbnail decoded after a Request.
  ThumbnailLoader(QSize largest, std::function<void(const QString& path, const QImage& image)> ready,
                  QObject* parent = nullptr);
  ~ThumbnailLoader() override;

  // The thumbnail when it has been decoded already; otherwise starts decoding it.
  bool Request(const QString& path, QImage& thumbnail);
  // Blocks until every requested thumbnail is decoded (their ready calls
  // follow as posted events).
  void WaitForAll();
  int Pending() const { return static_cast<int>(pending_.size()); }

  // Decodes one picture to fit in largest (null when it cannot be read).
  static QImage Decode(const QString& path, QSize largest);

 private:
  void Deliver(const QString& path, const QImage& image);

  QSize largest_;
  std::function<void(const QString&, const QImage&)> ready_;
  QHash<QString, QImage> decoded_;
  QSet<QString> pending_;
  QThreadPool pool_;  // last: its destructor waits for the workers that post to this object
};

}  // namespace kanae
