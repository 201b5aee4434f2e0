#include "packages/package_creation.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "base/file_ops.h"
#include "base/text.h"
#include "packages/block_compressor.h"
#include "packages/file_helpers.h"
#include "packages/package_format.h"

namespace pw {
namespace {

// The 13 characters the package name rule removes, then the four that
// Windows refuses in a file name.
constexpr std::string_view kRemovedFromName = ",/\\()[]:;=*'\"?<>|";

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

Error with_context(const std::string& what, const Error& error) {
  return make_error(error.code, what + ": " + error.message);
}

// The requested files, in order, with their current sizes.
Result<std::vector<PackageFile>> measured_files(FileSystem& fs, const std::vector<std::string>& names,
                                                const std::string& texture_folder) {
  std::vector<PackageFile> files;
  for (const std::string& requested : names) {
    if (files.size() == kMaxPackageFiles) return refused("more than 100 files are chosen");
    const std::string name = trim_blanks(requested);
    // The installer refuses such names, so no package is made with them.
    if (!is_safe_entry_name(name)) return refused("file name cannot travel in a package: " + name);
    const std::string path = join_path(texture_folder, name);
    // A link could carry any file of the machine into a package.
    if (fs.is_link(path)) return refused("file " + name + " is a link: only files themselves are packed");
    const auto stamp = fs.stamp(path);
    if (!stamp) return make_error(ErrorCode::kNotFound, "cannot read " + path + ": no such file");
    if (stamp->size < 1 || stamp->size > kMaxPackageDataSize) {
      return refused("file " + name + " is empty or too large to pack");
    }
    files.push_back(PackageFile{name, static_cast<std::int32_t>(stamp->size)});
  }
  if (files.empty()) return refused("no file is chosen");
  return files;
}

std::int64_t total_size(const std::vector<PackageFile>& files) {
  std::int64_t total = 0;
  for (const PackageFile& f : files) total += f.size;
  return total;
}

Error changed_while_packed(const std::string& name) {
  return make_error(ErrorCode::kIo, "file changed while being packed: " + name);
}

// Feeds one file to the block a chunk at a time. The table already holds
// its size, so a file that shrank or grew since it was measured fails.
Result<void> pack_file(FileSystem& fs, const std::string& path, const PackageFile& f, std::string& buffer,
                       BlockCompressor& block, const std::function<void(std::size_t)>& advanced) {
  auto opened = fs.open_read(path);
  if (!opened) return with_context("cannot read " + path, opened.error());
  InputFile& in = **opened;
  if (in.size() != f.size) return changed_while_packed(f.name);
  std::int64_t at = 0;
  while (at < f.size) {
    const auto room = static_cast<std::int64_t>(buffer.size());
    const auto want = static_cast<std::size_t>(std::min<std::int64_t>(f.size - at, room));
    auto got = in.read_at(at, std::span<char>(buffer.data(), want));
    if (!got) return with_context("cannot read " + path, got.error());
    if (*got == 0) return changed_while_packed(f.name);
    PW_TRY(block.write(std::string_view(buffer.data(), *got)));
    at += static_cast<std::int64_t>(*got);
    advanced(*got);
  }
  char probe = 0;
  auto more = in.read_at(f.size, std::span<char>(&probe, 1));
  if (!more) return more.error();
  if (*more != 0) return changed_while_packed(f.name);
  return {};
}

// The files' bytes, in table order, through the compressor onto `out`;
// progress counts the bytes read.
Result<void> pack_files(FileSystem& fs, const std::string& texture_folder, const std::vector<PackageFile>& files,
                        OutputFile& out, const ProgressFn& progress) {
  const std::int64_t total = total_size(files);
  std::int64_t done = 0;
  report_progress(progress, done, total);
  const auto advanced = [&](std::size_t n) {
    done += static_cast<std::int64_t>(n);
    report_progress(progress, done, total);
  };
  BlockCompressor block(out, default_compression_threads());
  std::string buffer(kBlockChunkSize, '\0');
  for (const PackageFile& f : files) {
    PW_TRY(pack_file(fs, join_path(texture_folder, f.name), f, buffer, block, advanced));
  }
  return block.finish();
}

// The chosen preview bitmap, or nullopt when none is chosen.
Result<std::optional<std::string>> chosen_preview(FileSystem& fs, const std::optional<std::string>& path) {
  if (!path) return std::optional<std::string>{};
  auto bytes = read_whole_file(fs, trim_blanks(*path), kMaxPreviewSize);
  if (!bytes) return with_context("cannot read the preview " + trim_blanks(*path), bytes.error());
  return std::optional<std::string>(std::move(*bytes));
}

// The Uploads folder, created when nothing of that name exists.
Result<std::string> uploads_folder(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string folder = aircraft_folder + "\\Uploads";
  if (fs.exists(folder)) return folder;
  if (Result<void> made = fs.make_folder(folder); !made) {
    return with_context("cannot create the folder " + folder, made.error());
  }
  return folder;
}

// Head first (the sizes are known from the files' lengths), then the block
// while the files are read; the replace keeps an older package of the
// same name until the new one is complete.
Result<void> write_package_file(const OperationContext& op, const std::string& path, const FltsimEntry& entry,
                                const std::optional<std::string>& preview,
                                const std::vector<PackageFile>& files, const std::string& texture_folder) {
  PW_TRY(check_package_contents(preview, files, total_size(files)));
  return replace_file_with(op.fs, path, [&](OutputFile& out) -> Result<void> {
    PW_TRY(out.write(build_package_head(entry, preview, files)));
    return pack_files(op.fs, texture_folder, files, out, op.progress);
  });
}

}  // namespace

std::string package_file_name(std::string_view ui_variation) {
  std::string name = replace_all(trim_blanks(ui_variation), " ", "_");
  name += "_Repaint.pkg";
  std::string kept;
  for (const char c : name) {
    if (kRemovedFromName.find(c) == std::string_view::npos) kept += c;
  }
  return kept;
}

Result<std::string> create_package(const OperationContext& op, AircraftState& aircraft,
                                   const PackageRequest& request) {
  const int k = request.entry_index;
  if (k < 0 || static_cast<std::size_t>(k) >= aircraft.g_AircraftEntries.size()) return refused("no such entry");
  FltsimEntry& entry = aircraft.g_AircraftEntries[static_cast<std::size_t>(k)];
  const std::string name = package_file_name(entry.ui_variation);
  const auto texture_folder = texture_folder_path(aircraft.g_AircraftFolder, entry);
  if (!texture_folder) return refused("unsafe texture folder name: " + entry.texture);
  auto files = measured_files(op.fs, request.files, *texture_folder);
  if (!files) return files.error();
  auto preview = chosen_preview(op.fs, request.preview_path);
  if (!preview) return preview.error();
  auto uploads = uploads_folder(op.fs, aircraft.g_AircraftFolder);
  if (!uploads) return uploads.error();
  entry.rcf_text = aircraft.g_RcfText;
  const std::string path = join_path(*uploads, name);
  if (Result<void> written = write_package_file(op, path, entry, *preview, *files, *texture_folder); !written) {
    return with_context("cannot write " + path, written.error());
  }
  return name;
}

}  // namespace pw
