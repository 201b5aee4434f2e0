// The pictures of the screens' rows: a texture folder's thumbnail or a
// package's preview, read and decoded on worker threads (a list of a
// thousand repaints must not stall the window), scaled once to the size
// the screen shows, and kept by file path and stamp, so a picture is
// decoded again only when its file changed.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/platform/file_system.h"

namespace pw {

class ThumbnailCache final : public QObject {
  Q_OBJECT

 public:
  // Pictures are read through `fs` and scaled to fit `size`, keeping their
  // shape; the skin's NoThumbnail.bmp, scaled the same, stands for none.
  ThumbnailCache(FileSystem& fs, QSize size, QObject* parent = nullptr);
  // Drops what still waits and waits for the pictures being decoded.
  ~ThumbnailCache() override;

  QSize size() const { return size_; }
  // What stands for a missing picture, scaled.
  const QImage& placeholder() const { return placeholder_; }

  // Asks for the pictures of `sources` (texture folders and .pkg files,
  // core paths), the first first, in place of those still waiting. Each
  // is answered by `ready`, from a worker thread.
  void request(std::vector<std::string> sources);
  // Returns once every request has been answered.
  void wait() { pool_.waitForDone(); }

  // The picture of one source, read on the calling thread (the cache is
  // used and filled as by a request).
  QImage picture(const std::string& source);

 signals:
  // The picture of `source`, or the placeholder when it has none or it
  // cannot be read.
  void ready(const QByteArray& source, const QImage& picture);

 private:
  struct Cached {
    FileStamp stamp;
    QImage picture;
  };

  void work();
  QImage decode(const std::string& bytes) const;

  FileSystem& fs_;
  const QSize size_;
  QImage placeholder_;
  QThreadPool pool_;
  QMutex mutex_;  // guards the members below
  std::deque<std::string> waiting_;
  std::unordered_map<std::string, Cached> cache_;  // by picture file
  int workers_ = 0;
};

}  // namespace pw
