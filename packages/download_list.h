// Private to the download reader: the list of a download as its entries
// come, each name checked and every limit counted on the way, so a hostile
// archive is refused before anything after it is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "packages/download.h"

namespace pw::download_detail {

// A zip inside a download is held in memory while it is read, so one
// larger than this is not opened and stays a file of its own.
inline constexpr std::int64_t kMaxInnerZipBytes = std::int64_t{64} << 20;
// All text files together: past this, further ones are not read, so a
// download of many small texts cannot fill memory.
inline constexpr std::int64_t kMaxDownloadTextTotal = std::int64_t{32} << 20;
// The piece extract() hands to the sink at most.
inline constexpr std::size_t kExtractPieceBytes = std::size_t{1} << 20;

Error refused(std::string_view what);
Error damaged(std::string_view what);

// The name in the core's form: Windows-1252, components joined with '\'
// ("/" and "\" both separate; empty and "." components dropped). Refused:
// ".." components, a leading separator, a drive letter, no name at all.
Result<std::string> clean_entry_name(std::string_view cp1252_name);

// A name as libarchive reports it: its UTF-8 form when it has one, else its
// wide form (all a Windows libarchive keeps of a rar's Unicode name that the
// code page cannot hold), else the stored bytes, themselves taken as UTF-8
// when they are valid UTF-8.
std::string archive_name_to_cp1252(const char* utf8, const wchar_t* wide, const char* raw);

// The files extract() is asked for, each once, in the download's order;
// kRefused for an index past the `count` files listed.
Result<std::vector<std::size_t>> files_in_order(std::vector<std::size_t> files, std::size_t count);

// True for the files whose text may hold [fltsim.x] blocks.
bool is_text_name(std::string_view name);

class DownloadList {
 public:
  // `packed_size`: the archive's size on disk, for the ratio; 0 for a folder.
  explicit DownloadList(std::string path, std::int64_t packed_size);

  // Counts an entry of any kind; refused past kMaxDownloadItems.
  Result<void> count_entry();
  Result<void> add_folder(const std::string& name);
  // Adds a regular file; its index in contents().files.
  Result<std::size_t> add_file(const std::string& name, std::int64_t size);
  // True when the file's bytes are to be read into a DownloadText.
  bool wants_text(std::size_t file) const;
  void add_text(std::size_t file, std::string bytes);

  DownloadContents& contents() { return contents_; }

 private:
  Result<void> claim(const std::string& name, bool is_folder);

  DownloadContents contents_;
  std::int64_t packed_size_;
  std::size_t entries_ = 0;
  std::int64_t total_bytes_ = 0;
  std::int64_t text_bytes_ = 0;
  struct Claim {
    std::string name;
    bool is_folder;
  };
  std::unordered_map<std::string, Claim> claims_;  // by lower-case name
};

Result<std::unique_ptr<Download>> open_archive_download(FileSystem& fs, const std::string& path);
Result<std::unique_ptr<Download>> open_folder_download(FileSystem& fs, const std::string& path);

}  // namespace pw::download_detail
