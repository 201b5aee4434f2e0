// Downloads as users have them: zips and 7z made here with libarchive's
// writer (the hostile ones included), rar samples from libarchive's own
// tests (archives/), and unpacked folders.
#include "packages/download.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/file_ops.h"
#include "base/platform/process.h"
#include "support/faulty_file_system.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

struct Item { std::string name; std::string bytes; unsigned type = AE_IFREG; };

la_ssize_t append(archive*, void* out, const void* data, size_t size) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
  return static_cast<la_ssize_t>(size);
}

// A zip (or 7z) of the items; `options` with the passphrase "secret".
std::string make_archive(const std::vector<Item>& items, bool seven_zip = false, const char* options = nullptr) {
  archive* w = archive_write_new();
  seven_zip ? archive_write_set_format_7zip(w) : archive_write_set_format_zip(w);
  // Names flagged UTF-8 whatever the platform's code page, as the names are given.
  if (!seven_zip) archive_write_set_format_option(w, "zip", "hdrcharset", "UTF-8");
  if (options != nullptr) {
    EXPECT_EQ(ARCHIVE_OK, archive_write_set_options(w, options));
    archive_write_set_passphrase(w, "secret");
  }
  std::string out;
  archive_write_set_bytes_in_last_block(w, 1);
  archive_write_open(w, &out, nullptr, append, nullptr);
  for (const Item& item : items) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname_utf8(e, item.name.c_str());
    archive_entry_set_filetype(e, item.type);
    archive_entry_set_perm(e, 0644);
    if (item.type == AE_IFLNK) archive_entry_set_symlink(e, "/etc/passwd");
    if (item.type == AE_IFREG) archive_entry_set_size(e, static_cast<la_int64_t>(item.bytes.size()));
    EXPECT_EQ(ARCHIVE_OK, archive_write_header(w, e)) << archive_error_string(w);
    archive_write_data(w, item.bytes.data(), item.bytes.size());
    archive_entry_free(e);
  }
  archive_write_close(w);
  archive_write_free(w);
  return out;
}

// Every record of the zip (local header, data descriptor, central
// directory) claims `size` bytes uncompressed.
std::string claim_size(std::string zip, std::uint32_t size) {
  for (const auto& [signature, offset] : {std::pair{"PK\3\4", 22}, {"PK\7\b", 12}, {"PK\1\2", 24}}) {
    for (std::size_t at = zip.find(signature); at != std::string::npos; at = zip.find(signature, at + 1)) {
      for (int i = 0; i < 4; ++i) zip[at + offset + i] = static_cast<char>(size >> (8 * i));
    }
  }
  return zip;
}

class Collector final : public DownloadSink {
 public:
  Result<void> begin_file(std::size_t file) override {
    current_ = &files[file];
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    largest = std::max(largest, bytes.size());
    if (keep) current_->append(bytes);
    return {};
  }
  Result<void> end_file() override { return {}; }
  std::map<std::size_t, std::string> files;
  std::size_t largest = 0;
  bool keep = true;

 private:
  std::string* current_ = nullptr;
};

class DownloadTest : public ::testing::Test {
 protected:
  Result<std::unique_ptr<Download>> open(const std::string& bytes, const char* name = "d.zip") {
    dir.write(name, bytes);
    return open_download(native_file_system(), join_path(dir.path(), name));
  }
  // "name:size" per file, "=bytes" added where its text was read; or the refusal.
  static std::vector<std::string> listing(const Result<std::unique_ptr<Download>>& d) {
    if (!d) return {d.error().message};
    std::vector<std::string> out;
    for (const DownloadFile& f : (*d)->contents().files) out.push_back(f.name + ":" + std::to_string(f.size));
    for (const DownloadText& t : (*d)->contents().texts) out[t.file] += "=" + t.bytes;
    return out;
  }
  TempDir dir;
};

TEST_F(DownloadTest, HostileArchivesAreRefusedWholeWithTheirReason) {
  std::vector<Item> many(kMaxDownloadItems + 1, Item{"", "", AE_IFDIR});
  for (std::size_t i = 0; i < many.size(); ++i) many[i].name = "f" + std::to_string(i);
  const std::string good = make_archive({{"Texture.A/a.bmp", "abc"}, {"readme.txt", "x"}});
  std::string bad_crc = make_archive({{"readme.txt", "hello"}}, false, "zip:compression=store");
  bad_crc.replace(bad_crc.find("hello"), 1, "j");
  const struct { const char* name; std::string bytes; ErrorCode code; std::string reason; } cases[] = {
      {"dotdot", make_archive({{"ok.txt", "x"}, {"a/../../evil.txt", "x"}}), ErrorCode::kRefused, "leads out"},
      {"dots", make_archive({{"a/.../evil.txt", "x"}}), ErrorCode::kRefused, "leads out"},
      {"absolute", make_archive({{"/tmp/evil.txt", "x"}}), ErrorCode::kRefused, "absolute path"},
      {"backslash root", make_archive({{"\\evil.txt", "x"}}), ErrorCode::kRefused, "absolute path"},
      {"drive", make_archive({{"C:evil.txt", "x"}}), ErrorCode::kRefused, "drive letter"},
      {"symlink", make_archive({{"Texture.A/link", "", AE_IFLNK}}), ErrorCode::kRefused, "link or device"},
      {"case twins", make_archive({{"Texture.A/a.bmp", "1"}, {"texture.a/A.bmp", "2"}}), ErrorCode::kRefused,
       "but for letter case"},
      {"twice", make_archive({{"a.bmp", "1"}, {"a.bmp", "2"}}), ErrorCode::kRefused, "two files are named a.bmp"},
      {"encrypted", make_archive({{"a.txt", "x"}}, false, "zip:encryption=zipcrypt"), ErrorCode::kRefused,
       "password-protected archives are not supported"},
      {"too many", make_archive(many), ErrorCode::kRefused, "more than 100000 entries"},
      {"bomb", claim_size(good, 150u << 20), ErrorCode::kRefused, "200:1"},
      {"inner zip", make_archive({{"in.zip", make_archive({{"../evil", "x"}})}}), ErrorCode::kRefused, "leads out"},
      {"cut", good.substr(0, good.size() - 30), ErrorCode::kDamaged, "download is damaged: "},
      {"inner cut", make_archive({{"in.zip", good.substr(0, 40)}}), ErrorCode::kDamaged, "in.zip: "},
      {"bad crc", bad_crc, ErrorCode::kDamaged, "CRC"},
      {"not an archive", "just text", ErrorCode::kDamaged, "download is damaged: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto opened = open(c.bytes);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(c.code, opened.error().code);
    EXPECT_NE(std::string::npos, opened.error().message.find(c.reason)) << opened.error().message;
    EXPECT_EQ(std::vector<std::string>{"d.zip"}, dir.names());
  }
}

TEST_F(DownloadTest, ListsFilesAndReadsTheirTexts) {
  const std::string big(kMaxDownloadTextBytes + 1, 'b');
  const std::string zip = make_archive({{"Caf\xC3\xA9/Texture.A/", "", AE_IFDIR},
                                        {"Caf\xC3\xA9/Texture.A/t.bmp", "bmp"},
                                        {"./x\\README", "r1"},
                                        {"aircraft.cfg", "[fltsim.0]"},
                                        {"big.txt", big},
                                        {"note.ini", "i"}});
  EXPECT_EQ((std::vector<std::string>{"Caf\xE9\\Texture.A\\t.bmp:3", "x\\README:2=r1", "aircraft.cfg:10=[fltsim.0]",
                                      "big.txt:" + std::to_string(big.size()), "note.ini:1=i"}),
            listing(open(zip)));
  EXPECT_EQ((std::vector<std::string>{"a.txt:1=t", "b.bmp:1"}),
            listing(open(make_archive({{"a.txt", "t"}, {"b.bmp", "b"}}, true), "d.7z")));
}

TEST_F(DownloadTest, OpensAZipInsideOneLevelDeepAndCopiesItsFiles) {
  const std::string deepest = make_archive({{"deep.txt", "d"}});
  const std::string inner = make_archive({{"Texture.B/b.bmp", "bb"}, {"readme.txt", "in"}, {"z.zip", deepest}});
  const auto d = open(make_archive({{"a.bmp", "a"}, {"pack/In.ZIP", inner}, {"after.bmp", "af"}}));
  ASSERT_TRUE(d.ok()) << d.error().message;
  EXPECT_EQ((std::vector<std::string>{"a.bmp:1", "pack\\In.ZIP\\Texture.B\\b.bmp:2", "pack\\In.ZIP\\readme.txt:2=in",
                                      "pack\\In.ZIP\\z.zip:" + std::to_string(deepest.size()), "after.bmp:2"}),
            listing(d));
  Collector sink;
  ASSERT_TRUE((*d)->extract({4, 1, 3}, sink).ok());
  EXPECT_EQ((std::map<std::size_t, std::string>{{1, "bb"}, {3, deepest}, {4, "af"}}), sink.files);
}

TEST_F(DownloadTest, ReadsRarSamples) {
  const std::string samples = join_path(executable_folder(), "archives");
  auto d = open_download(native_file_system(), join_path(samples, "rar5_zip_inside.rar"));
  EXPECT_EQ((std::vector<std::string>{"payload\\inner.zip\\THIS_IS_INSIDE_THE_ZIP.txt:13=inner content",
                                      "payload\\real_after.txt:21=i am a real rar entry"}),
            listing(d));
  // Refused whole either way: a Windows libarchive does not report this
  // link as one, and the entry, which records no size, is refused for that.
#ifdef _WIN32
  const std::string refusal = "download is damaged: the size of ????????.txt is not recorded";
#else
  const std::string refusal = "download refused: a link or device: ????????.txt";
#endif
  EXPECT_EQ(std::vector<std::string>{refusal}, listing(open_download(native_file_system(), join_path(samples, "rar5_links.rar"))));
  d = open_download(native_file_system(), join_path(samples, "rar4_names.rar"));
  ASSERT_EQ(2u, listing(d).size()) << listing(d)[0];
  Collector sink;
  ASSERT_TRUE((*d)->extract({1}, sink).ok());
  EXPECT_EQ("kanji", sink.files[1]);
}

TEST_F(DownloadTest, ExtractStreamsInBoundedPiecesAndChecksSizes) {
  std::string large(40 << 20, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 / 5);
  const auto d = open(make_archive({{"small.bmp", "s"}, {"large.bmp", large}}));
  ASSERT_TRUE(d.ok()) << d.error().message;
  large = {};
  PeakMemory peak;
  const bool measured = peak.reset();
  Collector sink;
  sink.keep = false;
  ASSERT_TRUE((*d)->extract({1}, sink).ok());
  EXPECT_GE(std::size_t{1} << 20, sink.largest);
  if (measured) {
    EXPECT_GT(8 * 1024, *peak.growth_kb());
  }
  // A size that lies about the bytes stored shows at extraction.
  const auto lying = open(claim_size(make_archive({{"a.bmp", "abc"}}, false, "zip:compression=store"), 2), "l.zip");
  ASSERT_TRUE(lying.ok()) << lying.error().message;
  const auto copied = (*lying)->extract({0}, sink);
  ASSERT_FALSE(copied.ok());
  EXPECT_EQ(ErrorCode::kDamaged, copied.error().code) << copied.error().message;
  dir.write("l.zip", make_archive({{"b.bmp", "ab"}}));  // replaced since it was listed
  const auto replaced = (*lying)->extract({0}, sink);
  ASSERT_FALSE(replaced.ok());
  EXPECT_NE(std::string::npos, replaced.error().message.find("changed since")) << replaced.error().message;
}

TEST_F(DownloadTest, TheRatioIsThatOfTheArchivesSizeOnceTheSizesPassTheThreshold) {
  std::string noise(600000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  const std::string zip = make_archive({{"noise.bin", noise}, {"a.bmp", "abc"}}, false, "zip:compression=store");
  // Two files claiming this much each: just below, then just past 200:1.
  const auto each = [&](int delta) { return static_cast<std::uint32_t>(100 * zip.size() + delta); };
  EXPECT_TRUE(open(claim_size(zip, each(-100))).ok());
  EXPECT_EQ(ErrorCode::kRefused, open(claim_size(zip, each(100))).error().code);
}

TEST_F(DownloadTest, AFailingReadIsTheFileLayersErrorNotDamage) {
  dir.write("d.zip", make_archive({{"a.txt", "a"}, {"b.bmp", "b"}}));
  FaultyFileSystem fs(native_file_system());
  for (int k = 1;; ++k) {
    SCOPED_TRACE(k);
    fs.fail_at(k);
    const auto d = open_download(fs, join_path(dir.path(), "d.zip"));
    if (d.ok()) break;
    EXPECT_EQ(ErrorCode::kIo, d.error().code) << d.error().message;
  }
}

TEST_F(DownloadTest, FoldersAreListedAndHeldToTheSameRules) {
  dir.write("dl/Texture.A/a.bmp", "abc");
  dir.write("dl/readme.txt", "r");
  const std::string folder = join_path(dir.path(), "dl");
  auto listed = listing(open_download(native_file_system(), folder));
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ((std::vector<std::string>{"Texture.A\\a.bmp:3", "readme.txt:1=r"}), listed);
#ifdef __linux__  // sparse files and links without privileges
  std::filesystem::resize_file(dir.native("dl/Texture.A/a.bmp"), std::int64_t{5} << 30);
  EXPECT_EQ(std::vector<std::string>{"download refused: more than 4 GB uncompressed"},
            listing(open_download(native_file_system(), folder)));
  std::filesystem::remove(dir.native("dl/Texture.A/a.bmp"));
  std::filesystem::create_symlink("/etc/passwd", dir.native("dl/Texture.A/a.bmp"));
  EXPECT_EQ(std::vector<std::string>{"download refused: a link or device: Texture.A\\a.bmp"},
            listing(open_download(native_file_system(), folder)));
#endif
}

}  // namespace
}  // namespace pw::test
