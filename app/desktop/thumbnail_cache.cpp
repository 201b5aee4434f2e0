#include "app/desktop/thumbnail_cache.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutexLocker>
#include <QThread>
#include <algorithm>
#include <optional>

#include "base/file_ops.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "ui/skin_paths.h"

namespace pw {
namespace {

// A thumbnail is some kilobytes; anything this big is no thumbnail.
constexpr std::int64_t kMaxPictureBytes = 16 * 1024 * 1024;

QImage fitted(const QImage& image, QSize size) {
  if (image.isNull()) return image;
  return image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

// The file that holds a source's picture: the package itself, or the
// texture folder's thumbnail.
std::optional<std::string> picture_file(FileSystem& fs, const std::string& source) {
  if (ends_with_ci(source, ".pkg")) return source;
  return find_thumbnail(fs, source);
}

// The encoded picture of that file: a package's preview, else the whole file.
std::optional<std::string> picture_bytes(FileSystem& fs, const std::string& file) {
  if (!ends_with_ci(file, ".pkg")) {
    Result<std::string> bytes = read_whole_file(fs, file, kMaxPictureBytes);
    if (!bytes) return std::nullopt;
    return std::move(*bytes);
  }
  return stored_preview(fs, file);
}

}  // namespace

ThumbnailCache::ThumbnailCache(FileSystem& fs, QSize size, QObject* parent)
    : QObject(parent), fs_(fs), size_(size),
      placeholder_(fitted(QImage(ui::skin_file(QStringLiteral("\\Media\\NoThumbnail.bmp"))), size)) {
  // Two decoders keep well ahead of the eye; more would only take the
  // machine from its user.
  pool_.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 2));
}

ThumbnailCache::~ThumbnailCache() {
  {
    const QMutexLocker lock(&mutex_);
    waiting_.clear();
  }
  pool_.waitForDone();
}

void ThumbnailCache::request(std::vector<std::string> sources) {
  const QMutexLocker lock(&mutex_);
  waiting_.assign(std::make_move_iterator(sources.begin()), std::make_move_iterator(sources.end()));
  while (workers_ < pool_.maxThreadCount() && workers_ < static_cast<int>(waiting_.size())) {
    ++workers_;
    pool_.start([this] { work(); });
  }
}

void ThumbnailCache::work() {
  for (;;) {
    std::string source;
    {
      const QMutexLocker lock(&mutex_);
      if (waiting_.empty()) {
        --workers_;
        return;
      }
      source = std::move(waiting_.front());
      waiting_.pop_front();
    }
    const QImage shown = picture(source);
    emit ready(QByteArray::fromStdString(source), shown);
  }
}

// The stamp is taken before the read: a file replaced in between is read
// again next time rather than kept under the new stamp.
QImage ThumbnailCache::picture(const std::string& source) {
  const std::optional<std::string> file = picture_file(fs_, source);
  const std::optional<FileStamp> stamp = file ? fs_.stamp(*file) : std::nullopt;
  if (!stamp) return placeholder_;
  {
    const QMutexLocker lock(&mutex_);
    const auto cached = cache_.find(*file);
    if (cached != cache_.end() && cached->second.stamp == *stamp) return cached->second.picture;
  }
  const std::optional<std::string> bytes = picture_bytes(fs_, *file);
  const QImage decoded = bytes ? decode(*bytes) : QImage();
  if (decoded.isNull()) return placeholder_;
  const QMutexLocker lock(&mutex_);
  cache_[*file] = Cached{*stamp, decoded};
  return decoded;
}

// JPEG decoders scale while decoding: asking for the shown size is much
// cheaper than decoding whole and scaling after.
QImage ThumbnailCache::decode(const std::string& bytes) const {
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize full = reader.size();
  if (full.isValid() && (full.width() > size_.width() || full.height() > size_.height())) {
    reader.setScaledSize(full.scaled(size_, Qt::KeepAspectRatio));
  }
  return fitted(reader.read(), size_);
}

}  // namespace pw
