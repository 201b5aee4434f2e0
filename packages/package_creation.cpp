#include "packages/package_creation.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/file_ops.h"
#include "app/text.h"
#include "packages/file_helpers.h"
#include "packages/package_format.h"

namespace pw {
namespace {

constexpr const char* kPackageScreen = "frm_Package";

// The 13 characters the package name rule removes, then the four that
// Windows refuses in a file name.
constexpr std::string_view kRemovedFromName = ",/\\()[]:;=*'\"?<>|";

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

// The checked rows of lstTextures, in list order, with their current sizes.
Result<std::vector<PackageFile>> checked_files(AppContext& ctx, const std::string& texture_folder) {
  std::vector<PackageFile> files;
  for (const ListRow& row : ctx.view.list(kPackageScreen, "lstTextures").rows) {
    if (!row.checked) continue;
    if (files.size() == kMaxPackageFiles) return refused("more than 100 files are checked");
    const std::string name = trim_blanks(row.text);
    // The installer refuses such names, so no package is made with them.
    if (!is_safe_entry_name(name)) return refused("file name cannot travel in a package: " + name);
    const auto stamp = ctx.fs.stamp(join_path(texture_folder, name));
    if (!stamp) return make_error(ErrorCode::kNotFound, "file is missing: " + name);
    if (stamp->size < 1 || stamp->size > kMaxPackageDataSize) {
      return refused("file " + name + " is empty or too large to pack");
    }
    files.push_back(PackageFile{name, static_cast<std::int32_t>(stamp->size)});
  }
  if (files.empty()) return refused("no file is checked");
  return files;
}

std::int64_t total_size(const std::vector<PackageFile>& files) {
  std::int64_t total = 0;
  for (const PackageFile& f : files) total += f.size;
  return total;
}

// The files' bytes concatenated in table order. One buffer for now; a file
// that changed size since it was measured would contradict the table.
Result<std::string> gather_files(FileSystem& fs, const std::string& texture_folder,
                                 const std::vector<PackageFile>& files) {
  std::string data;
  data.reserve(static_cast<std::size_t>(total_size(files)));
  for (const PackageFile& f : files) {
    auto bytes = read_whole_file(fs, join_path(texture_folder, f.name), f.size);
    if (!bytes) return bytes.error();
    if (bytes->size() != static_cast<std::size_t>(f.size)) {
      return make_error(ErrorCode::kIo, "file changed while being packed: " + f.name);
    }
    data += *bytes;
  }
  return data;
}

// The chosen preview bitmap, or nullopt when none is chosen.
Result<std::optional<std::string>> chosen_preview(AppContext& ctx) {
  if (!ctx.state.g_PreviewChosen) return std::optional<std::string>{};
  auto bytes = read_whole_file(ctx.fs, trim_blanks(ctx.state.g_PreviewPath), kMaxPackageDataSize);
  if (!bytes) return bytes.error();
  return std::optional<std::string>(std::move(*bytes));
}

// The Uploads folder, created when nothing of that name exists.
Result<std::string> uploads_folder(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string folder = aircraft_folder + "\\Uploads";
  if (!fs.exists(folder)) PW_TRY(fs.make_folder(folder));
  return folder;
}

// Head first, then the block; the replace keeps an older package of the
// same name until the new one is complete.
Result<void> write_package_file(FileSystem& fs, const std::string& path, const FltsimEntry& entry,
                                const std::optional<std::string>& preview,
                                const std::vector<PackageFile>& files, const std::string& texture_folder) {
  PW_TRY(check_package_contents(preview, files, total_size(files)));
  return replace_file_with(fs, path, [&](OutputFile& out) -> Result<void> {
    PW_TRY(out.write(build_package_head(entry, preview, files)));
    auto data = gather_files(fs, texture_folder, files);
    if (!data) return data.error();
    return write_package_block(out, *data);
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

std::string CreatePackage(AppContext& ctx, int entryIndex) {
  SharedState& s = ctx.state;
  if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= s.g_AircraftEntries.size()) return {};
  FltsimEntry& entry = s.g_AircraftEntries[static_cast<std::size_t>(entryIndex)];
  const std::string name = package_file_name(entry.ui_variation);
  const auto texture_folder = texture_folder_path(s, entry);
  if (!texture_folder) return {};
  auto files = checked_files(ctx, *texture_folder);
  if (!files) return {};
  auto preview = chosen_preview(ctx);
  if (!preview) return {};
  auto uploads = uploads_folder(ctx.fs, s.g_AircraftFolder);
  if (!uploads) return {};
  entry.rcf_text = s.g_RcfText;
  const Result<void> written =
      write_package_file(ctx.fs, join_path(*uploads, name), entry, *preview, *files, *texture_folder);
  if (!written) return {};
  return name;
}

void FillPackageAircraftList(AppContext& ctx) {
  const SharedState& s = ctx.state;
  ListContent content;
  content.enabled = true;
  const int last = std::min<int>(s.g_AircraftLast, static_cast<int>(s.g_AircraftEntries.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    content.rows.push_back(ListRow{trim_blanks(s.g_AircraftEntries[static_cast<std::size_t>(i)].ui_variation), i, false});
  }
  content.current = content.rows.empty() ? -1 : 0;
  ctx.view.set_list(kPackageScreen, "lstAircraft", content);
  // With no entry left the file list would still show a removed repaint's files.
  if (content.rows.empty()) ListTextureFiles(ctx, -1);
  PackageAircraftClicked(ctx);
}

void PackageAircraftClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list(kPackageScreen, "lstAircraft");
  if (content.current < 0 || static_cast<std::size_t>(content.current) >= content.rows.size()) return;
  ListTextureFiles(ctx, content.rows[static_cast<std::size_t>(content.current)].item_data);
}

}  // namespace pw
