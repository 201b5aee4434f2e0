#include "aircraft/library_cache.h"

#include <cstdint>

#include "aircraft/entry_list.h"

namespace pw {
namespace {

constexpr std::string_view kHead = "Paintwell library 2\n";
constexpr std::size_t kChecksumBytes = 8;
constexpr std::uint64_t kMaxText = 1 << 16;
constexpr std::uint64_t kMaxAircraft = 1 << 20;
// The fewest bytes one aircraft takes: an empty folder name, the stamp and
// the entry count.
constexpr std::uint64_t kAircraftBytes = 4 + 8 + 8 + 8 + 4;

void put(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void put_text(std::string& out, const std::string& text) {
  put(out, text.size(), 4);
  out += text;
}

// Reads field by field; every read checks the bytes left, and the first
// failure makes every later read fail too.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}

  std::uint64_t number(int bytes) {
    if (rest_.size() < static_cast<std::size_t>(bytes)) return fail();
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint64_t{static_cast<unsigned char>(rest_[i])} << (8 * i);
    rest_.remove_prefix(static_cast<std::size_t>(bytes));
    return value;
  }

  std::string text() {
    const std::uint64_t size = number(4);
    if (size > kMaxText || size > rest_.size()) return fail(), std::string();
    std::string value(rest_.substr(0, size));
    rest_.remove_prefix(size);
    return value;
  }

  // A count whose items take at least `item_bytes` each.
  std::uint64_t count(std::uint64_t cap, std::uint64_t item_bytes) {
    const std::uint64_t n = number(4);
    if (n > cap || n * item_bytes > rest_.size()) return fail();
    return n;
  }

  bool ok_and_done() const { return ok_ && rest_.empty(); }
  bool ok() const { return ok_; }

 private:
  std::uint64_t fail() {
    ok_ = false;
    rest_ = {};
    return 0;
  }

  std::string_view rest_;
  bool ok_ = true;
};

LibraryAircraft read_aircraft(Reader& in) {
  LibraryAircraft a;
  a.folder = in.text();
  a.cfg_stamp.size = static_cast<std::int64_t>(in.number(8));
  a.cfg_stamp.modified_ns = static_cast<std::int64_t>(in.number(8));
  a.cfg_stamp.file_id = in.number(8);
  const std::uint64_t entries = in.count(kMaxFltsimSections, 4 * 4);
  for (std::uint64_t i = 0; i < entries && in.ok(); ++i) {
    LibraryEntry e;
    e.title = in.text();
    e.texture = in.text();
    e.search = in.text();
    e.sim = in.text();
    a.entries.push_back(std::move(e));
  }
  return a;
}

}  // namespace

std::uint64_t fnv1a_64(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

std::string write_library_cache(const std::vector<LibraryAircraft>& aircraft) {
  std::string out(kHead);
  put(out, aircraft.size(), 4);
  for (const LibraryAircraft& a : aircraft) {
    put_text(out, a.folder);
    put(out, static_cast<std::uint64_t>(a.cfg_stamp.size), 8);
    put(out, static_cast<std::uint64_t>(a.cfg_stamp.modified_ns), 8);
    put(out, a.cfg_stamp.file_id, 8);
    put(out, a.entries.size(), 4);
    for (const LibraryEntry& e : a.entries) {
      put_text(out, e.title);
      put_text(out, e.texture);
      put_text(out, e.search);
      put_text(out, e.sim);
    }
  }
  put(out, fnv1a_64(out), kChecksumBytes);
  return out;
}

Result<std::vector<LibraryAircraft>> read_library_cache(std::string_view bytes) {
  const auto refused = [] { return make_error(ErrorCode::kRefused, "the library cache is damaged"); };
  if (bytes.size() < kHead.size() + kChecksumBytes || bytes.substr(0, kHead.size()) != kHead) return refused();
  const std::string_view body = bytes.substr(0, bytes.size() - kChecksumBytes);
  Reader trailer(bytes.substr(body.size()));
  if (trailer.number(kChecksumBytes) != fnv1a_64(body)) return refused();
  Reader in(body.substr(kHead.size()));
  const std::uint64_t n = in.count(kMaxAircraft, kAircraftBytes);
  std::vector<LibraryAircraft> aircraft;
  for (std::uint64_t i = 0; i < n && in.ok(); ++i) aircraft.push_back(read_aircraft(in));
  if (!in.ok_and_done()) return refused();
  return aircraft;
}

}  // namespace pw
