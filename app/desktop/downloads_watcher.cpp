#include "app/desktop/downloads_watcher.h"

#include "base/file_ops.h"
#include "base/platform/file_system.h"

namespace pw {
namespace {

constexpr int kSettleMs = 400;

}  // namespace

DownloadsWatcher::DownloadsWatcher(FileSystem& fs, std::function<bool()> idle, std::function<void()> relist)
    : fs_(fs), idle_(std::move(idle)), relist_(std::move(relist)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
  connect(&settle_, &QTimer::timeout, this, &DownloadsWatcher::changed);
}

void DownloadsWatcher::follow(const std::string& aircraft_folder) {
  aircraft_folder_ = aircraft_folder;
  watching_downloads_ = false;
  QString wanted;
  if (!aircraft_folder.empty()) {
    const std::string downloads = join_path(aircraft_folder, "Downloads");
    watching_downloads_ = fs_.is_folder(downloads);
    wanted = QString::fromStdString(fs_.native_path(watching_downloads_ ? downloads : aircraft_folder));
  }
  if (wanted == watched()) return;
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  if (!wanted.isEmpty()) watcher_.addPath(wanted);
}

QString DownloadsWatcher::watched() const {
  const QStringList folders = watcher_.directories();
  return folders.isEmpty() ? QString() : folders.front();
}

void DownloadsWatcher::changed() {
  if (!idle_()) return settle_.start();
  const bool was_downloads = watching_downloads_;
  follow(aircraft_folder_);
  // A change of the aircraft's folder matters only when Downloads appeared.
  if (was_downloads || watching_downloads_) relist_();
}

}  // namespace pw
