#include "support/faulty_file_system.h"

#include <utility>

namespace pw::test {
namespace {

// The files it opens: their calls count too.
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
  Result<void> write(std::string_view bytes) override { return counted("write", [&] { return inner_->write(bytes); }); }
  Result<void> sync() override { return counted("sync", [&] { return inner_->sync(); }); }
  Result<void> close() override { return counted("close", [&] { return inner_->close(); }); }

 private:
  template <class Call>
  Result<void> counted(const char* name, Call call) {
    if (auto fault = fs_.count(name)) return *fault;
    return call();
  }
  FaultyFileSystem& fs_;
  std::unique_ptr<OutputFile> inner_;
};

template <class T>
T as_is(T result) { return result; }

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
#define PW_COUNTED(type, name, params, args, through) \
  type FaultyFileSystem::name params {                 \
    if (auto fault = count(#name)) return *fault;      \
    return through(inner_.name args);                  \
  }
using Output = Result<std::unique_ptr<OutputFile>>;
PW_COUNTED(Output, create, (const std::string& path), (path), wrap)
PW_COUNTED(Output, create_new, (const std::string& path), (path), wrap)
PW_COUNTED(Output, open_append, (const std::string& path), (path), wrap)
PW_COUNTED(Result<void>, rename_over, (const std::string& from, const std::string& to), (from, to), as_is)
PW_COUNTED(Result<void>, rename_new, (const std::string& from, const std::string& to), (from, to), as_is)
PW_COUNTED(Result<void>, remove_file, (const std::string& path), (path), as_is)
PW_COUNTED(Result<void>, make_folder, (const std::string& path), (path), as_is)
PW_COUNTED(Result<void>, remove_folder, (const std::string& path), (path), as_is)
PW_COUNTED(Result<void>, sync_folder, (const std::string& path), (path), as_is)
#undef PW_COUNTED

}  // namespace pw::test
