#include "base/file_ops.h"

#include <utility>
#include <vector>

#include "base/platform/process.h"
#include "base/text.h"

namespace pw {
namespace {

std::size_t last_separator(std::string_view path) { return path.find_last_of("\\/"); }

// The folder that holds a path: the parent, or the root when the path sits
// directly in it, or the current folder for a bare name.
std::string folder_of(std::string_view path) {
  const std::size_t sep = last_separator(path);
  if (sep == std::string_view::npos) return ".";
  if (sep == 0) return std::string(path.substr(0, 1));
  return std::string(path.substr(0, sep));
}

// "1 MB" for a whole number of megabytes, else the bytes.
std::string size_text(std::int64_t bytes) {
  constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
  if (bytes > 0 && bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MB";
  return std::to_string(bytes) + " bytes";
}

bool name_matches(std::string_view mask, std::string_view name) {
  if (wildcard_match(mask, name)) return true;
  // "x.*" also takes names without any extension, as the simulator's platform does.
  return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
         name.find('.') == std::string_view::npos && wildcard_match(mask.substr(0, mask.size() - 2), name);
}

bool passes(const DirEntry& entry, ListFilter filter) {
  if (holds_separator(entry.name)) return false;
  switch (filter) {
    case ListFilter::kNormalFiles:
      return !entry.is_folder && !entry.is_hidden;
    case ListFilter::kAllFiles:
      return !entry.is_folder;
    case ListFilter::kFolders:
      return entry.is_folder;
  }
  return false;
}

// Writes, syncs and closes the temporary file; the caller cleans up on failure.
Result<void> write_temp(FileSystem& fs, const std::string& temp,
                        const std::function<Result<void>(OutputFile&)>& write_body) {
  auto created = fs.create(temp);
  if (!created) return created.error();
  std::unique_ptr<OutputFile> out = std::move(created.value());
  PW_TRY(write_body(*out));
  PW_TRY(out->sync());
  return out->close();
}

}  // namespace

std::string join_path(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}

std::string parent_path(std::string_view path) {
  const std::size_t sep = last_separator(path);
  if (sep == std::string_view::npos) return {};
  return std::string(path.substr(0, sep));
}

std::string file_name(std::string_view path) {
  const std::size_t sep = last_separator(path);
  if (sep == std::string_view::npos) return std::string(path);
  return std::string(path.substr(sep + 1));
}

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// The root of a path as normal_path writes it, and where the rest starts.
std::string_view root_of(std::string_view path, std::string& root) {
  if (path.size() > 1 && path[1] == ':') {
    root = std::string(path.substr(0, 2)) + "\\";
    return path.substr(2);
  }
  if (path.size() > 1 && is_separator(path[0]) && is_separator(path[1])) root = "\\\\";
  else if (!path.empty() && is_separator(path[0])) root = "\\";
  return path;
}

}  // namespace

std::string normal_path(std::string_view path) {
  std::string root;
  const std::string_view rest = root_of(path, root);
  const std::size_t fixed = root == "\\\\" ? 2 : 0;  // a share's server and name stay
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  while (from <= rest.size()) {
    std::size_t to = from;
    while (to < rest.size() && !is_separator(rest[to])) ++to;
    const std::string_view part = rest.substr(from, to - from);
    from = to + 1;
    if (part.empty() || part == ".") continue;
    const bool climbs = part == ".." && parts.size() > fixed && parts.back() != "..";
    if (climbs) {
      parts.pop_back();
    } else if (part != ".." || root.empty()) {
      parts.push_back(part);
    }
  }
  std::string out = root;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += '\\';
    out += parts[i];
  }
  return out.empty() ? "." : out;
}

std::string absolute_path(std::string_view folder, std::string_view path) {
  if (is_absolute_path(path)) return normal_path(path);
  std::string joined(folder);
  if (joined.empty() || !is_separator(joined.back())) joined += '\\';  // "\" + "x" is no share
  return normal_path(joined + std::string(path));
}

namespace {

// Backslashes only, none doubled or trailing, so that folders compare as texts.
std::string comparable_path(std::string_view path) {
  std::string out = collapse_backslashes(replace_all(path, "/", "\\"));
  while (out.size() > 1 && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace

bool is_absolute_path(std::string_view path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() > 1 && path[1] == ':');
}

bool is_inside_folder(std::string_view path, std::string_view folder) {
  const std::string p = comparable_path(path), f = comparable_path(folder);
  if (f.empty() || !starts_with_ci(p, f)) return false;
  return p.size() == f.size() || p[f.size()] == '\\' || f.back() == '\\';
}

std::string temp_path_for(std::string_view path) {
  const std::size_t sep = last_separator(path);
  const std::size_t name_start = sep == std::string_view::npos ? 0 : sep + 1;
  std::string temp(path.substr(0, name_start));
  temp += '~';
  temp += path.substr(name_start);
  temp += "." + std::to_string(process_id()) + ".pwtmp";
  return temp;
}

Result<std::string> read_whole_file(FileSystem& fs, const std::string& path, std::int64_t max_bytes) {
  auto opened = fs.open_read(path);
  if (!opened) return opened.error();
  InputFile& in = **opened;
  const std::int64_t size = in.size();
  if (size > max_bytes) {
    return make_error(ErrorCode::kRefused,
                      "file is larger than the limit of " + size_text(max_bytes) + ": " + fs.native_path(path));
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    auto got = in.read_at(static_cast<std::int64_t>(done), std::span<char>(bytes).subspan(done));
    if (!got) return got.error();
    if (*got == 0) return make_error(ErrorCode::kIo, "file ended early: " + fs.native_path(path));
    done += *got;
  }
  return bytes;
}

Result<void> replace_file_with(FileSystem& fs, const std::string& path,
                               const std::function<Result<void>(OutputFile&)>& write_body) {
  const std::string temp = temp_path_for(path);
  Result<void> written = write_temp(fs, temp, write_body);
  if (written) written = fs.rename_over(temp, path);
  if (!written) {
    (void)fs.remove_file(temp);  // best effort: the first error is the one to report
    return written;
  }
  (void)fs.sync_folder(folder_of(path));
  return {};
}

Result<void> replace_file(FileSystem& fs, const std::string& path, std::string_view bytes) {
  return replace_file_with(fs, path, [bytes](OutputFile& out) { return out.write(bytes); });
}

Result<void> copy_file(FileSystem& fs, const std::string& from, const std::string& to) {
  auto opened = fs.open_read(from);
  if (!opened) return opened.error();
  InputFile& in = **opened;
  return replace_file_with(fs, to, [&in](OutputFile& out) -> Result<void> {
    std::string chunk(kCopyChunkSize, '\0');
    std::int64_t offset = 0;
    while (true) {
      auto got = in.read_at(offset, chunk);
      if (!got) return got.error();
      if (*got == 0) return {};
      PW_TRY(out.write(std::string_view(chunk).substr(0, *got)));
      offset += static_cast<std::int64_t>(*got);
    }
  });
}

namespace {

// A walk's step into a listed entry: only real folders are entered.
bool is_entered(const DirEntry& entry) { return entry.is_folder && !entry.is_link; }

void remove_below(FileSystem& fs, const std::string& folder) {
  if (Result<std::vector<DirEntry>> entries = fs.list(folder)) {
    for (const DirEntry& entry : *entries) {
      if (holds_separator(entry.name)) continue;  // joined, it would name another path
      const std::string path = join_path(folder, entry.name);
      if (is_entered(entry)) {
        remove_below(fs, path);
        (void)fs.remove_folder(path);
      } else {
        (void)fs.remove_file(path);
      }
    }
  }
}

std::int64_t bytes_below(FileSystem& fs, const std::string& folder) {
  std::int64_t total = 0;
  Result<std::vector<DirEntry>> entries = fs.list(folder);
  if (!entries) return 0;
  for (const DirEntry& entry : *entries) {
    if (holds_separator(entry.name)) continue;
    const std::string path = join_path(folder, entry.name);
    if (is_entered(entry)) {
      total += bytes_below(fs, path);
    } else if (auto stamp = entry.is_link ? std::nullopt : fs.stamp(path)) {
      total += stamp->size;
    }
  }
  return total;
}

}  // namespace

void remove_tree(FileSystem& fs, const std::string& folder) {
  if (fs.is_link(folder)) {
    (void)fs.remove_file(folder);
    return;
  }
  remove_below(fs, folder);
  (void)fs.remove_folder(folder);
}

std::int64_t tree_bytes(FileSystem& fs, const std::string& folder) {
  return fs.is_link(folder) ? 0 : bytes_below(fs, folder);
}

Result<std::vector<std::string>> list_matching(FileSystem& fs, const std::string& pattern, ListFilter filter) {
  const std::string mask = file_name(pattern);
  auto listed = fs.list(folder_of(pattern));
  if (!listed) {
    if (listed.error().code == ErrorCode::kNotFound) return std::vector<std::string>{};
    return listed.error();
  }
  std::vector<std::string> names;
  for (const DirEntry& entry : *listed) {
    if (passes(entry, filter) && name_matches(mask, entry.name)) names.push_back(entry.name);
  }
  return names;
}

}  // namespace pw
