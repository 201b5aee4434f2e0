// A repaint download as the user has it: a zip, 7z or rar archive, or the
// folder it was unpacked into. Its whole list is read, and its small text
// files with it, before anything is written, since a readme may come after
// the textures it describes; the files chosen are then copied out in a
// second pass, a piece at a time, so memory stays bounded whatever the
// download's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

inline constexpr std::size_t kMaxDownloadItems = 100000;
inline constexpr std::int64_t kMaxDownloadBytes = std::int64_t{4} << 30;     // uncompressed, in all
inline constexpr std::int64_t kBombCheckBytes = std::int64_t{100} << 20;     // the ratio counts past this
inline constexpr std::int64_t kMaxCompressionRatio = 200;
inline constexpr std::int64_t kMaxDownloadTextBytes = std::int64_t{1} << 20;  // a text file read for blocks

struct DownloadFile {
  // Path inside the download, components joined with '\', Windows-1252 as
  // the core sees names (an archive's UTF-8 names converted, '?' for what
  // Windows-1252 lacks). A file of a zip held in the archive (opened one
  // level deep) is named "<inner zip's path>\<its path inside>"; the zip
  // itself is then no file of the list. A zip inside larger than 64 MB (it
  // is held in memory while read) and a zip inside a zip inside are listed
  // as files and not opened.
  std::string name;
  std::int64_t size = 0;
};

// A text file of the download that may hold [fltsim.x] blocks (.txt, .cfg,
// .ini, readme* and aircraft.cfg files up to kMaxDownloadTextBytes), its
// bytes as stored. Past 32 MB of texts in all, further ones are not read.
struct DownloadText {
  std::size_t file = 0;  // index in DownloadContents::files
  std::string bytes;
};

struct DownloadContents {
  std::string path;  // the archive or folder, as given
  std::vector<DownloadFile> files;  // regular files only, in the download's order
  std::vector<DownloadText> texts;
};

// Receives the files extract() copies out, one at a time: begin_file, its
// bytes in one or more writes, end_file. An error from any call ends the
// copy and is passed on.
class DownloadSink {
 public:
  virtual ~DownloadSink() = default;
  virtual Result<void> begin_file(std::size_t file) = 0;
  virtual Result<void> write(std::string_view bytes) = 0;
  virtual Result<void> end_file() = 0;
};

class Download {
 public:
  virtual ~Download() = default;
  virtual const DownloadContents& contents() const = 0;
  // Copies the files named by index (in DownloadContents::files) to the
  // sink, in the download's order, in pieces of at most 1 MB. kDamaged
  // with the reader's reason when the archive proves corrupt on the way; a
  // file whose bytes differ in length from the listed size, or an archive
  // that no longer holds the listed entries, is damaged too. kRefused for
  // an index past the list.
  virtual Result<void> extract(const std::vector<std::size_t>& files, DownloadSink& sink) = 0;
};

// True for a path whose name ends in .zip, .7z or .rar (any case).
bool is_archive_name(std::string_view path);

// Opens the archive or the folder at `path` and reads its list and texts.
// Refused whole (kRefused, nothing written anywhere), with the reason: a
// name with a ".." component, an absolute path or a drive letter, a link
// or device, two names equal but for case, an encrypted entry
// ("password-protected archives are not supported"), more than
// kMaxDownloadItems entries, more than kMaxDownloadBytes in all, or a
// ratio past kMaxCompressionRatio:1 once past kBombCheckBytes. A corrupt
// archive is kDamaged with the reader's reason (a zip inside is named in
// it); a failing read of the file is the file layer's own error. The
// format is told by the file's first bytes, not its name. A folder's
// links are refused as an archive's are, names holding a separator are
// skipped (see holds_separator), and a FIFO or device in it fails when
// read (open_read's kRefused).
Result<std::unique_ptr<Download>> open_download(FileSystem& fs, const std::string& path);

}  // namespace pw
