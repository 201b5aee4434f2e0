// Watches the selected aircraft's Downloads folder, so packages saved there
// while the program runs join the lists without selecting the aircraft
// again. Until Downloads exists, the aircraft's folder is watched for it
// to appear.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

namespace pw {

class FileSystem;

class DownloadsWatcher final : public QObject {
  Q_OBJECT

 public:
  // `relist` runs once a burst of changes has settled (a download writes
  // many times), and only while `idle` says no command is under way; it is
  // retried after the command otherwise.
  DownloadsWatcher(FileSystem& fs, std::function<bool()> idle, std::function<void()> relist);

  // Watches <aircraft_folder>\Downloads (core path), or the folder itself
  // while Downloads is missing; empty: nothing.
  void follow(const std::string& aircraft_folder);
  // The native folder watched now; empty for none.
  QString watched() const;

 private:
  void changed();

  FileSystem& fs_;
  std::function<bool()> idle_;
  std::function<void()> relist_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  std::string aircraft_folder_;
  bool watching_downloads_ = false;
};

}  // namespace pw
