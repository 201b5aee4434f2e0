// One write command on one aircraft, under the aircraft's lock. Opening
// takes the lock (Paintwell.lock in the aircraft's folder) and reads
// Aircraft.cfg afresh; each command then applies every safeguard itself on
// what it finds there, refuses entries the caller saw but that are no
// longer there, and leaves a fresh snapshot of the aircraft behind. The
// front ends only gather the values and show the outcome. Reading
// commands need no session.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "base/platform/file_lock.h"
#include "base/result.h"
#include "packages/download.h"
#include "packages/download_installation.h"
#include "packages/download_scan.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"
#include "packages/undo.h"

namespace pw {

inline constexpr const char* kLockFileName = "Paintwell.lock";
inline constexpr const char* kAircraftBusyMessage = "the aircraft is being changed by another Paintwell";
inline constexpr const char* kAircraftChangedMessage = "the aircraft changed since it was shown; look again";
inline constexpr std::chrono::milliseconds kLockWait{5000};

// An entry as the caller last saw it: its section number, title and texture.
struct EntryIdentity {
  int section = -1;
  std::string title;
  std::string texture;
  bool operator==(const EntryIdentity&) const = default;
};

// Entry `index` of the listing (index < g_AircraftEntries.size()).
EntryIdentity identity_of(const AircraftState& aircraft, std::size_t index);

// What to do with a package whose entry title is installed already.
enum class DuplicateChoice { kCopy, kSkip, kReplace };

struct InstallOptions {
  bool delete_package = false;  // delete the package file once it is installed
  DuplicateChoice on_duplicate = DuplicateChoice::kCopy;
};

// The repaints of an import that go into its operation (`at`: their
// places among those asked for), the entries they replace, those refused
// alone and the first refusal.
struct ImportChoices {
  std::vector<DownloadRepaint> chosen;
  std::vector<std::size_t> at;
  std::vector<bool> replaced;
  std::vector<bool> refused;
  std::optional<Error> refusal;
};

class AircraftSession {
 public:
  // Opens a session on the aircraft the program's state has selected (its
  // folder and the .rcf's exclusion list), waiting up to `wait` while
  // another Paintwell holds the lock; the lock file is made when missing
  // and stays. Then reads Aircraft.cfg into the program's state. Errors:
  // kAccessDenied with kAircraftBusyMessage once the wait is over, nothing
  // changed; a lock file that cannot be made or locked; kAircraftListError.
  static Result<AircraftSession> open(Session& program, std::chrono::milliseconds wait = kLockWait);

  // What opening took back of an operation a crash interrupted, one
  // sentence each ("an interrupted install of … was taken back").
  const std::vector<std::string>& recovered() const { return recovered_; }

  // The aircraft as the last command left it, read under the lock.
  const AircraftState& aircraft() const { return program_.state; }

  // The trimmed title of the installed entry the package duplicates (its
  // title, or a " - NNN" copy of it); nullopt when none or unreadable.
  std::optional<std::string> installed_duplicate(const std::string& package_path);

  // Installs the package (its entry record read here). When its title is
  // installed already the options say whether a copy is installed, the
  // package is skipped (kSkipped) or the installed entry is replaced in one
  // operation (replace_with_package); an entry the .rcf excludes from
  // removal is never replaced (kRefused), nor is one while Aircraft.cfg
  // uses a number twice. The backups are refreshed before the session's
  // first install. Every outcome is logged.
  InstallReport install(const std::string& package_path, const InstallOptions& options);

  // Installs the repaints of the download chosen by the caller (as
  // scan_download found them) as one operation with one restore point
  // ("import", undone whole; see install_download). A repaint without a
  // block gets made_up_entry of the aircraft's first entry as read under
  // the lock: the caller passes one only once the user agreed. Per
  // repaint, by its entry's title as install does, a duplicate is
  // installed as a copy, skipped (kSkipped) or replaces the installed
  // entry within the same operation (refused as install refuses a
  // replace). A repaint whose block was refused (FoundRepaint::refusal),
  // or that needs a made-up entry where the aircraft has none, is kFailed
  // (kRefused) alone and the others go on. The report holds one
  // InstallReport per repaint, in order (duplicate_of set for a
  // duplicate); its outcome is the operation's: kInstalled, kCfgNotWritten,
  // kFailed (the installable repaints take its error), or kSkipped when
  // nothing was left to install (kFailed instead when one was refused).
  // Logged with the download's path.
  ImportReport import(Download& download, const std::vector<FoundRepaint>& repaints, DuplicateChoice on_duplicate);

  // Removes the entries (see remove_repaints) and logs it. Refused
  // (kFailed, kRefused, nothing changed): an entry no longer there
  // (kAircraftChangedMessage), one without a texture folder or excluded
  // from removal, numbers used twice (removal_refused_text).
  RemovalReport remove(const std::vector<EntryIdentity>& entries);

  // Packs the entry (see create_package); refused with
  // kAircraftChangedMessage when it is no longer there.
  Result<std::string> pack(const EntryIdentity& entry, const std::vector<std::string>& files,
                           const std::optional<std::string>& preview_path);

  // The renumbering repair (repair_with_log) and the undo of the restore
  // point named (undo_with_log).
  Result<void> repair();
  Result<UndoReport> undo(const std::string& point_name);

 private:
  AircraftSession(Session& program, std::unique_ptr<FileLock> lock) : program_(program), lock_(std::move(lock)) {}

  // The one step between taking the lock and any command: an operation a
  // crash interrupted is taken back, then Aircraft.cfg is read afresh.
  Result<void> take_over_aircraft();
  Result<void> prepare_writes();
  std::optional<std::size_t> find(const EntryIdentity& entry) const;
  std::optional<Error> refusal_to_remove(const std::vector<bool>& selection);
  ImportChoices choose_imports(const std::vector<FoundRepaint>& repaints, DuplicateChoice on_duplicate,
                               ImportReport& report);
  void finish();  // after a command that kept a restore point

  Session& program_;
  std::unique_ptr<FileLock> lock_;
  bool prepared_ = false;
  std::vector<std::string> recovered_;
};

}  // namespace pw
