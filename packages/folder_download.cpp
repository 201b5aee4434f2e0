// A download the user has already unpacked: a folder walked through the
// file layer, held to the same refusals as an archive's list.
#include <algorithm>
#include <functional>
#include <span>

#include "base/file_ops.h"
#include "packages/download_list.h"

namespace pw::download_detail {
namespace {

// Reads `path` into `sink` a piece at a time, checking it still has `size` bytes.
Result<void> copy_file(FileSystem& fs, const std::string& path, const DownloadFile& listed,
                       const std::function<Result<void>(std::string_view)>& out) {
  Result<std::unique_ptr<InputFile>> file = fs.open_read(path);
  if (!file) return file.error();
  std::string piece(static_cast<std::size_t>(std::min<std::int64_t>(listed.size, kExtractPieceBytes)), '\0');
  std::int64_t offset = 0;
  while (offset < listed.size) {
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(listed.size - offset, kExtractPieceBytes));
    Result<std::size_t> got = (*file)->read_at(offset, std::span<char>(piece.data(), want));
    if (!got) return got.error();
    if (*got == 0) break;
    offset += static_cast<std::int64_t>(*got);
    PW_TRY(out(std::string_view(piece.data(), *got)));
  }
  if (offset != listed.size || (*file)->size() != listed.size) {
    return damaged(listed.name + " changed since the download was read");
  }
  return {};
}

class Walker {
 public:
  Walker(FileSystem& fs, DownloadList& list) : fs_(fs), list_(list) {}

  // Lists the folder's files below `name` (empty at the top).
  Result<void> walk(const std::string& folder, const std::string& name) {
    Result<std::vector<DirEntry>> entries = fs_.list(folder);
    if (!entries) return entries.error();
    for (const DirEntry& entry : *entries) {
      if (holds_separator(entry.name)) continue;
      PW_TRY(list_.count_entry());
      Result<std::string> cleaned = clean_entry_name(name.empty() ? entry.name : name + "\\" + entry.name);
      if (!cleaned) return cleaned.error();
      if (entry.is_link) return refused("a link or device: " + *cleaned);
      const std::string path = join_path(folder, entry.name);
      if (entry.is_folder) {
        PW_TRY(list_.add_folder(*cleaned));
        PW_TRY(walk(path, *cleaned));
        continue;
      }
      PW_TRY(add_file(path, *cleaned));
    }
    return {};
  }

 private:
  Result<void> add_file(const std::string& path, const std::string& name) {
    const std::optional<FileStamp> stamp = fs_.stamp(path);
    if (!stamp) return make_error(ErrorCode::kNotFound, "the file is gone: " + fs_.native_path(path));
    Result<std::size_t> file = list_.add_file(name, stamp->size);
    if (!file) return file.error();
    if (!list_.wants_text(*file)) return {};
    std::string bytes;
    PW_TRY(copy_file(fs_, path, list_.contents().files[*file], [&](std::string_view piece) -> Result<void> {
      bytes.append(piece);
      return {};
    }));
    list_.add_text(*file, std::move(bytes));
    return {};
  }

  FileSystem& fs_;
  DownloadList& list_;
};

class FolderDownload final : public Download {
 public:
  FolderDownload(FileSystem& fs, DownloadContents contents) : fs_(fs), contents_(std::move(contents)) {}

  const DownloadContents& contents() const override { return contents_; }

  Result<void> extract(const std::vector<std::size_t>& files, DownloadSink& sink) override {
    Result<std::vector<std::size_t>> in_order = files_in_order(files, contents_.files.size());
    if (!in_order) return in_order.error();
    const std::vector<std::size_t>& wanted = *in_order;
    for (const std::size_t index : wanted) {
      const DownloadFile& listed = contents_.files[index];
      PW_TRY(sink.begin_file(index));
      PW_TRY(copy_file(fs_, join_path(contents_.path, listed.name), listed,
                       [&](std::string_view piece) { return sink.write(piece); }));
      PW_TRY(sink.end_file());
    }
    return {};
  }

 private:
  FileSystem& fs_;
  DownloadContents contents_;
};

}  // namespace

Result<std::unique_ptr<Download>> open_folder_download(FileSystem& fs, const std::string& path) {
  DownloadList list(path, 0);
  PW_TRY(Walker(fs, list).walk(path, ""));
  return std::unique_ptr<Download>(std::make_unique<FolderDownload>(fs, std::move(list.contents())));
}

}  // namespace pw::download_detail
