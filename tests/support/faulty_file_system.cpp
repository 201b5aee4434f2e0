#include "support/faulty_file_system.h"

#include <utility>

namespace pw::test {
namespace {

class FaultyInputFile final : public InputFile {
 public:
  FaultyInputFile(FaultyFileSystem& fs, std::unique_ptr<InputFile> inner) : fs_(fs), inner_(std::move(inner)) {}
  std::int64_t size() const override { return inner_->size(); }
  Result<std::size_t> read_at(std::int64_t offset, std::span<char> out) override {
    if (auto fault = fs_.count("read_at")) return *fault;
    return inner_->read_at(offset, out);
  }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<InputFile> inner_;
};

class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(FaultyFileSystem& fs, std::unique_ptr<OutputFile> inner) : fs_(fs), inner_(std::move(inner)) {}
  Result<void> write(std::string_view bytes) override {
    if (auto fault = fs_.count("write")) return *fault;
    return inner_->write(bytes);
  }
  Result<void> sync() override {
    if (auto fault = fs_.count("sync")) return *fault;
    return inner_->sync();
  }
  Result<void> close() override {
    if (auto fault = fs_.count("close")) return *fault;
    return inner_->close();
  }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<OutputFile> inner_;
};

}  // namespace

void FaultyFileSystem::fail_at(int k, ErrorCode code) {
  fail_at_ = k;
  code_ = code;
  calls_ = 0;
  crashed_ = false;
  failed_call_.clear();
}

void FaultyFileSystem::crash_at(int k) {
  fail_at(k);
  crashed_ = k > 0;
}

std::optional<Error> FaultyFileSystem::count(const char* name) {
  ++calls_;
  if (calls_ != fail_at_ && !(crashed_ && calls_ > fail_at_)) return std::nullopt;
  if (failed_call_.empty()) failed_call_ = name;
  return make_error(code_, "injected fault at call " + std::to_string(calls_) + " (" + name + ")");
}

Result<std::unique_ptr<InputFile>> FaultyFileSystem::open_read(const std::string& path) {
  if (auto fault = count("open_read")) return *fault;
  auto opened = inner_.open_read(path);
  if (!opened) return opened.error();
  return std::unique_ptr<InputFile>(std::make_unique<FaultyInputFile>(*this, std::move(opened.value())));
}

Result<std::unique_ptr<OutputFile>> FaultyFileSystem::wrap(Result<std::unique_ptr<OutputFile>> opened) {
  if (!opened) return opened.error();
  return std::unique_ptr<OutputFile>(std::make_unique<FaultyOutputFile>(*this, std::move(opened.value())));
}

// Each counted call: fail it when its turn comes, else pass it on.
#define PW_COUNTED(name, call)                  \
  if (auto fault = count(name)) return *fault; \
  return call;

Result<std::unique_ptr<OutputFile>> FaultyFileSystem::create(const std::string& path) {
  PW_COUNTED("create", wrap(inner_.create(path)))
}
Result<std::unique_ptr<OutputFile>> FaultyFileSystem::create_new(const std::string& path) {
  PW_COUNTED("create_new", wrap(inner_.create_new(path)))
}
Result<std::unique_ptr<OutputFile>> FaultyFileSystem::open_append(const std::string& path) {
  PW_COUNTED("open_append", wrap(inner_.open_append(path)))
}
Result<void> FaultyFileSystem::rename_over(const std::string& from, const std::string& to) {
  PW_COUNTED("rename_over", inner_.rename_over(from, to))
}
Result<void> FaultyFileSystem::rename_new(const std::string& from, const std::string& to) {
  PW_COUNTED("rename_new", inner_.rename_new(from, to))
}
Result<void> FaultyFileSystem::remove_file(const std::string& path) {
  PW_COUNTED("remove_file", inner_.remove_file(path))
}
Result<void> FaultyFileSystem::make_folder(const std::string& path) {
  PW_COUNTED("make_folder", inner_.make_folder(path))
}
Result<void> FaultyFileSystem::remove_folder(const std::string& path) {
  PW_COUNTED("remove_folder", inner_.remove_folder(path))
}
Result<void> FaultyFileSystem::sync_folder(const std::string& path) {
  PW_COUNTED("sync_folder", inner_.sync_folder(path))
}
#undef PW_COUNTED

}  // namespace pw::test
