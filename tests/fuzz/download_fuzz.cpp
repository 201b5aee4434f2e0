// libFuzzer target: any bytes opened as a download (zip, 7z or rar, a zip
// inside opened too). Whatever is accepted must obey the refusals: clean
// names, the limits, texts of listed sizes; extracting every file must
// hand over exactly the listed sizes, in order, or fail.
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/platform/process.h"
#include "packages/download.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// Components joined with '\' only, none empty nor made of dots and
// blanks alone, and no drive in front.
void check_name(const std::string& name) {
  check(!(name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))));
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(name.find('\\', start), name.size());
    const std::string part = name.substr(start, end - start);
    check(part.find('/') == std::string::npos && part.find_first_not_of(". ") != std::string::npos);
    if (end == name.size()) return;
    start = end + 1;
  }
}

// Each file gets exactly its listed size, in pieces of at most 1 MB.
class CheckingSink final : public pw::DownloadSink {
 public:
  explicit CheckingSink(const pw::DownloadContents& contents) : contents_(contents) {}
  pw::Result<void> begin_file(std::size_t file) override {
    check(left_ < 0 && file < contents_.files.size());
    left_ = contents_.files[file].size;
    return {};
  }
  pw::Result<void> write(std::string_view bytes) override {
    left_ -= static_cast<std::int64_t>(bytes.size());
    check(left_ >= 0 && bytes.size() <= (std::size_t{1} << 20));
    return {};
  }
  pw::Result<void> end_file() override {
    check(left_ == 0);
    left_ = -1;
    return {};
  }

 private:
  const pw::DownloadContents& contents_;
  std::int64_t left_ = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Through a real file, as the program reads downloads; removed at exit.
  struct TempFile {
    std::filesystem::path path;
    ~TempFile() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  };
  static const TempFile temp{std::filesystem::temp_directory_path() /
                             ("paintwell_download_fuzz_" + std::to_string(pw::process_id()))};
  const std::filesystem::path& path = temp.path;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  auto download = pw::open_download(pw::native_file_system(), path.string());
  if (!download) {
    check(!download.error().message.empty());
    return 0;
  }
  const pw::DownloadContents& contents = (*download)->contents();
  std::int64_t total = 0;
  std::vector<std::size_t> all;
  for (const pw::DownloadFile& f : contents.files) {
    check_name(f.name);
    check(f.size >= 0);
    total += f.size;
    all.push_back(all.size());
  }
  check(total <= pw::kMaxDownloadBytes);
  for (const pw::DownloadText& t : contents.texts) {
    check(t.file < contents.files.size() && static_cast<std::int64_t>(t.bytes.size()) == contents.files[t.file].size);
  }
  if (total > (std::int64_t{64} << 20)) return 0;  // keeps one run quick
  CheckingSink sink(contents);
  (void)(*download)->extract(all, sink);
  return 0;
}
