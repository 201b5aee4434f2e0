#include "config/profile.h"

#include <cstdint>

#include "base/file_ops.h"

namespace pw {
namespace {

// Far above any aircraft.cfg; keeps a stray huge file from exhausting memory.
constexpr std::int64_t kMaxProfileBytes = 64 * 1024 * 1024;

}  // namespace

Result<std::shared_ptr<const ProfileDocument>> ProfileStore::load(const std::string& file) {
  const std::string key = fs_.native_path(file);
  // Taken before the read: a change in between makes the next load read again.
  const std::optional<FileStamp> stamp = fs_.stamp(file);
  const auto hit = cache_.find(key);
  if (hit != cache_.end() && hit->second.stamp == stamp) return hit->second.document;
  if (!stamp) {
    auto empty = std::make_shared<const ProfileDocument>();
    cache_[key] = Cached{std::nullopt, empty};
    return std::shared_ptr<const ProfileDocument>(empty);
  }
  Result<std::string> bytes = read_whole_file(fs_, file, kMaxProfileBytes);
  if (!bytes) return bytes.error();
  auto document = std::make_shared<const ProfileDocument>(ProfileDocument::parse(*bytes));
  ++parse_count_;
  cache_[key] = Cached{stamp, document};
  return std::shared_ptr<const ProfileDocument>(document);
}

Result<void> ProfileStore::save(const std::string& file, const ProfileDocument& document) {
  return save_owned(file, std::make_shared<const ProfileDocument>(document));
}

Result<void> ProfileStore::save_owned(const std::string& file, std::shared_ptr<const ProfileDocument> document) {
  const std::string key = fs_.native_path(file);
  // Every cache entry is checked against the file's stamp, so a failure
  // needs no clean-up here.
  PW_TRY(replace_file(fs_, file, document->serialize()));
  const std::optional<FileStamp> stamp = fs_.stamp(file);
  if (!stamp) {
    cache_.erase(key);
    return {};
  }
  cache_[key] = Cached{stamp, std::move(document)};
  return {};
}

std::string ProfileStore::ReadProfileString(std::string_view section, std::string_view key,
                                            const std::string& file) {
  const auto document = load(file);
  if (!document) return {};
  return read_profile_value(**document, section, key);
}

Result<void> ProfileStore::WriteProfileString(std::string_view section, std::string_view key,
                                              std::string_view value, const std::string& file, bool quote) {
  const auto loaded = load(file);
  if (!loaded) return loaded.error();
  auto changed = std::make_shared<ProfileDocument>(**loaded);
  if (quote) {
    changed->write(section, key, "\"" + std::string(value) + "\"");
  } else {
    changed->write(section, key, value);
  }
  return save_owned(file, std::move(changed));
}

Result<void> ProfileStore::DeleteProfileSection(std::string_view section, const std::string& file) {
  const auto loaded = load(file);
  if (!loaded) return loaded.error();
  auto changed = std::make_shared<ProfileDocument>(**loaded);
  if (!changed->delete_section(section)) return {};
  return save_owned(file, std::move(changed));
}

}  // namespace pw
