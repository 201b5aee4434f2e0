#include "packages/download.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/file_ops.h"
#include "base/text.h"
#include "packages/download_list.h"

namespace pw {
namespace download_detail {

Error refused(std::string_view what) {
  return make_error(ErrorCode::kRefused, "download refused: " + std::string(what));
}

Error damaged(std::string_view what) {
  return make_error(ErrorCode::kDamaged, "download is damaged: " + std::string(what));
}

namespace {

bool is_drive(std::string_view component) {
  const char letter = static_cast<char>(component.empty() ? 0 : component[0] | 0x20);
  return component.size() >= 2 && component[1] == ':' && letter >= 'a' && letter <= 'z';
}

// "..", and what Windows trims to it or to nothing: "...", ". .".
bool leads_up(std::string_view component) {
  return component != "." && component.find_first_not_of(". ") == std::string_view::npos;
}

// Structure only: lead bytes followed by the right number of continuation
// bytes. Enough to tell UTF-8 from a legacy code page's names.
bool is_utf8(std::string_view text) {
  std::size_t follow = 0;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (follow > 0) {
      if ((b & 0xC0) != 0x80) return false;
      --follow;
    } else if (b >= 0xF0 && b <= 0xF4) {
      follow = 3;
    } else if (b >= 0xE0) {
      if (b > 0xEF) return false;
      follow = 2;
    } else if (b >= 0xC2) {
      follow = 1;
    } else if (b >= 0x80) {
      return false;
    }
  }
  return follow == 0;
}

}  // namespace

Result<std::string> clean_entry_name(std::string_view name) {
  if (name.empty()) return refused("an entry has no name");
  if (name[0] == '/' || name[0] == '\\') return refused("an absolute path: " + std::string(name));
  std::string cleaned;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
    const std::string_view component = name.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    if (leads_up(component)) return refused("a name leads out of the download: " + std::string(name));
    if (cleaned.empty() && is_drive(component)) return refused("a name with a drive letter: " + std::string(name));
    if (!cleaned.empty()) cleaned += '\\';
    cleaned += component;
  }
  if (cleaned.empty()) return refused("an entry has no name: " + std::string(name));
  return cleaned;
}

namespace {

// UTF-16 (Windows) or UTF-32 (POSIX) as UTF-8; a lone surrogate becomes '?'.
std::string wide_to_utf8(const wchar_t* wide) {
  std::string out;
  for (; *wide != 0; ++wide) {
    auto c = static_cast<std::uint32_t>(*wide);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00 && wide[1] >= 0xDC00 && wide[1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(*++wide) - 0xDC00);
    } else if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
      c = '?';
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::string archive_name_to_cp1252(const char* utf8, const wchar_t* wide, const char* raw) {
  if (utf8 != nullptr) return utf8_to_cp1252(utf8);
  if (wide != nullptr) return utf8_to_cp1252(wide_to_utf8(wide));
  if (raw == nullptr) return {};
  return is_utf8(raw) ? utf8_to_cp1252(raw) : std::string(raw);
}

Result<std::vector<std::size_t>> files_in_order(std::vector<std::size_t> files, std::size_t count) {
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  if (!files.empty() && files.back() >= count) {
    return make_error(ErrorCode::kRefused, "no file " + std::to_string(files.back()) + " in the download");
  }
  return files;
}

bool is_text_name(std::string_view name) {
  const std::string base = file_name(name);
  return ends_with_ci(base, ".txt") || ends_with_ci(base, ".cfg") || ends_with_ci(base, ".ini") ||
         starts_with_ci(base, "readme");
}

DownloadList::DownloadList(std::string path, std::int64_t packed_size) : packed_size_(packed_size) {
  contents_.path = std::move(path);
}

Result<void> DownloadList::count_entry() {
  if (++entries_ > kMaxDownloadItems) {
    return refused("more than " + std::to_string(kMaxDownloadItems) + " entries");
  }
  return {};
}

// One name per file or folder whatever its case, as the simulator's file
// system sees them; a folder may be named again (each file implies its
// folders), a file may not.
Result<void> DownloadList::claim(const std::string& name, bool is_folder) {
  const auto [it, added] = claims_.try_emplace(to_lower(name), Claim{name, is_folder});
  if (added) return {};
  if (it->second.name != name) return refused("two files are named " + name + " but for letter case");
  if (!is_folder || !it->second.is_folder) return refused("two files are named " + name);
  return {};
}

Result<void> DownloadList::add_folder(const std::string& name) {
  for (std::size_t cut = name.find('\\'); cut != std::string::npos; cut = name.find('\\', cut + 1)) {
    PW_TRY(claim(name.substr(0, cut), true));
  }
  return claim(name, true);
}

Result<std::size_t> DownloadList::add_file(const std::string& name, std::int64_t size) {
  if (size < 0) return damaged("the size of " + name + " is not recorded");
  const std::string folder = parent_path(name);
  if (!folder.empty()) PW_TRY(add_folder(folder));
  PW_TRY(claim(name, false));
  // Each size is below the limit before it is added, so the sum cannot overflow.
  if (size > kMaxDownloadBytes || (total_bytes_ += size) > kMaxDownloadBytes) {
    return refused("more than 4 GB uncompressed");
  }
  // (total - 1) / ratio >= packed: total > ratio * packed, without overflow.
  const bool bomb_like = packed_size_ > 0 && total_bytes_ > kBombCheckBytes &&
                         (total_bytes_ - 1) / kMaxCompressionRatio >= packed_size_;
  if (bomb_like) {
    return refused("compressed more than " + std::to_string(kMaxCompressionRatio) + ":1 (a zip bomb)");
  }
  contents_.files.push_back({name, size});
  return contents_.files.size() - 1;
}

bool DownloadList::wants_text(std::size_t file) const {
  const DownloadFile& f = contents_.files[file];
  return f.size <= kMaxDownloadTextBytes && text_bytes_ + f.size <= kMaxDownloadTextTotal && is_text_name(f.name);
}

void DownloadList::add_text(std::size_t file, std::string bytes) {
  text_bytes_ += static_cast<std::int64_t>(bytes.size());
  contents_.texts.push_back({file, std::move(bytes)});
}

}  // namespace download_detail

bool is_archive_name(std::string_view path) {
  return ends_with_ci(path, ".zip") || ends_with_ci(path, ".7z") || ends_with_ci(path, ".rar");
}

Result<std::unique_ptr<Download>> open_download(FileSystem& fs, const std::string& path) {
  if (fs.is_folder(path)) {
    // Its walk would leave it for wherever the link leads.
    if (fs.is_link(path)) return download_detail::refused("a link or device: " + path);
    return download_detail::open_folder_download(fs, path);
  }
  return download_detail::open_archive_download(fs, path);
}

}  // namespace pw
