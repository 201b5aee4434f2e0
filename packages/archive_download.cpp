// A download that is a zip, 7z or rar archive: listed in a first pass
// (texts read on the way, a zip inside opened one level deep), its chosen
// files streamed out in a second.
#include <algorithm>

#include "base/text.h"
#include "packages/archive_reader.h"
#include "packages/download_list.h"

namespace pw::download_detail {
namespace {

// Where a listed file lies: its header's number in the archive and, for a
// file of a zip inside, its number in that zip.
struct Place {
  std::size_t outer = 0;
  std::optional<std::size_t> inner;
};

bool is_inner_zip(const ArchiveEntry& entry) {
  return entry.is_file && ends_with_ci(entry.name, ".zip") && entry.size >= 0 && entry.size <= kMaxInnerZipBytes;
}

// The entry's cleaned name below `prefix` (the inner zip's path), after
// the refusals that do not depend on the rest of the list.
Result<std::string> checked_name(const ArchiveEntry& entry, const std::string& prefix) {
  if (entry.is_encrypted) return refused("password-protected archives are not supported");
  Result<std::string> name = clean_entry_name(entry.name);
  if (!name) return name.error();
  if (!prefix.empty()) *name = prefix + "\\" + *name;
  if (!entry.is_file && !entry.is_folder) return refused("a link or device: " + *name);
  return name;
}

Result<std::string> read_all(ArchiveReader& reader, const std::string& name, std::int64_t size) {
  // Grown as the bytes come, not reserved: a hostile header may claim far more than it holds.
  std::string bytes;
  PW_TRY(reader.copy_data(name, size, [&](std::string_view piece) -> Result<void> {
    bytes.append(piece);
    return {};
  }));
  return bytes;
}

// Lists the entries of one archive level: the download's own (outer is
// nullopt) or those of a zip inside it (outer is that zip's number).
class Lister {
 public:
  Lister(DownloadList& list, std::vector<Place>& places) : list_(list), places_(places) {}

  Result<void> list(ArchiveReader& reader, const std::string& prefix, std::optional<std::size_t> outer) {
    for (std::size_t number = 0;; ++number) {
      Result<std::optional<ArchiveEntry>> entry = reader.next();
      if (!entry) return entry.error();
      if (!*entry) return {};
      PW_TRY(list_entry(reader, **entry, prefix, outer ? Place{*outer, number} : Place{number, std::nullopt}));
    }
  }

 private:
  Result<void> list_entry(ArchiveReader& reader, const ArchiveEntry& entry, const std::string& prefix,
                          const Place& place) {
    PW_TRY(list_.count_entry());
    Result<std::string> name = checked_name(entry, prefix);
    if (!name) return name.error();
    if (entry.is_folder) return list_.add_folder(*name);
    if (!place.inner && is_inner_zip(entry)) return list_inner_zip(reader, *name, entry.size, place.outer);
    Result<std::size_t> file = list_.add_file(*name, entry.size);
    if (!file) return file.error();
    places_.push_back(place);
    if (!list_.wants_text(*file)) return {};
    Result<std::string> bytes = read_all(reader, *name, entry.size);
    if (!bytes) return bytes.error();
    list_.add_text(*file, std::move(*bytes));
    return {};
  }

  // The zip's path becomes a folder of the download; its files are named below it.
  Result<void> list_inner_zip(ArchiveReader& reader, const std::string& name, std::int64_t size, std::size_t outer) {
    PW_TRY(list_.add_folder(name));
    Result<std::string> bytes = read_all(reader, name, size);
    if (!bytes) return bytes.error();
    Result<ArchiveReader> inner = ArchiveReader::open_zip_in_memory(*bytes);
    if (!inner) return with_zip_name(inner.error(), name);
    return with_zip_name(list(*inner, name, outer), name);
  }

  static Result<void> with_zip_name(Result<void> result, const std::string& name) {
    if (result || result.error().code != ErrorCode::kDamaged) return result;
    std::string_view reason = result.error().message;
    const std::string_view own = "download is damaged: ";
    if (reason.substr(0, own.size()) == own) reason.remove_prefix(own.size());
    return damaged(name + ": " + std::string(reason));
  }

  DownloadList& list_;
  std::vector<Place>& places_;
};

class ArchiveDownload final : public Download {
 public:
  ArchiveDownload(FileSystem& fs, DownloadContents contents, std::vector<Place> places, ArchiveFormat format)
      : fs_(fs), contents_(std::move(contents)), places_(std::move(places)), format_(format) {}

  const DownloadContents& contents() const override { return contents_; }

  Result<void> extract(const std::vector<std::size_t>& files, DownloadSink& sink) override {
    Result<std::vector<std::size_t>> in_order = files_in_order(files, contents_.files.size());
    if (!in_order) return in_order.error();
    const std::vector<std::size_t>& wanted = *in_order;
    Result<std::unique_ptr<InputFile>> file = fs_.open_read(contents_.path);
    if (!file) return file.error();
    Result<ArchiveReader> reader = ArchiveReader::open(**file, format_);
    if (!reader) return reader.error();
    std::size_t next = 0;  // in wanted
    for (std::size_t number = 0; next < wanted.size(); ++number) {
      Result<std::optional<ArchiveEntry>> entry = reader->next();
      if (!entry) return entry.error();
      if (!*entry) return changed();
      if (places_[wanted[next]].outer != number) continue;
      if (places_[wanted[next]].inner) {
        PW_TRY(extract_inner(*reader, **entry, wanted, next, sink));
        continue;
      }
      PW_TRY(copy_file(*reader, **entry, "", wanted[next++], sink));
    }
    return {};
  }

 private:
  static Error changed() { return damaged("the archive changed since it was read"); }

  // Copies one listed file, once the header proves to be the one listed.
  Result<void> copy_file(ArchiveReader& reader, const ArchiveEntry& entry, const std::string& prefix,
                         std::size_t index, DownloadSink& sink) {
    const DownloadFile& listed = contents_.files[index];
    Result<std::string> name = checked_name(entry, prefix);
    if (!name || *name != listed.name || entry.size != listed.size) return changed();
    PW_TRY(sink.begin_file(index));
    PW_TRY(reader.copy_data(listed.name, listed.size, [&](std::string_view piece) { return sink.write(piece); }));
    return sink.end_file();
  }

  // Copies the wanted files of the zip inside at wanted[next], advancing next.
  Result<void> extract_inner(ArchiveReader& reader, const ArchiveEntry& entry, const std::vector<std::size_t>& wanted,
                             std::size_t& next, DownloadSink& sink) {
    const std::size_t outer = places_[wanted[next]].outer;
    Result<std::string> zip_name = checked_name(entry, "");
    if (!zip_name || !is_inner_zip(entry)) return changed();
    Result<std::string> bytes = read_all(reader, *zip_name, entry.size);
    if (!bytes) return bytes.error();
    Result<ArchiveReader> inner = ArchiveReader::open_zip_in_memory(*bytes);
    if (!inner) return inner.error();
    for (std::size_t number = 0; next < wanted.size() && places_[wanted[next]].outer == outer; ++number) {
      Result<std::optional<ArchiveEntry>> inner_entry = inner->next();
      if (!inner_entry) return inner_entry.error();
      if (!*inner_entry) return changed();
      if (*places_[wanted[next]].inner != number) continue;
      PW_TRY(copy_file(*inner, **inner_entry, *zip_name, wanted[next++], sink));
    }
    return {};
  }

  FileSystem& fs_;
  DownloadContents contents_;
  std::vector<Place> places_;  // beside contents_.files
  ArchiveFormat format_;
};

}  // namespace

Result<std::unique_ptr<Download>> open_archive_download(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = fs.open_read(path);
  if (!file) return file.error();
  Result<ArchiveFormat> format = sniff_archive_format(**file);
  if (!format) return format.error();
  Result<ArchiveReader> reader = ArchiveReader::open(**file, *format);
  if (!reader) return reader.error();
  DownloadList list(path, (*file)->size());
  std::vector<Place> places;
  PW_TRY(Lister(list, places).list(*reader, "", std::nullopt));
  return std::unique_ptr<Download>(
      std::make_unique<ArchiveDownload>(fs, std::move(list.contents()), std::move(places), *format));
}

}  // namespace pw::download_detail
