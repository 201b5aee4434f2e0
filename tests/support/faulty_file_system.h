// A file system that fails on request, for testing that every operation
// leaves the disk in a known state whichever step fails. It counts each
// call that does I/O or changes the disk in one sequence, the calls on the
// files it hands out included, and fails the k-th one without passing it
// on. Typical use: for k = 1, 2, ... run the operation with fail_at(k) and
// check the disk, until an operation completes with no fault injected.
#pragma once

#include <optional>
#include <string>

#include "base/platform/file_system.h"

namespace pw::test {

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  // Restarts the count and fails the k-th counted call from now on with
  // `code` (k = 0: fail nothing). Only that one call fails.
  void fail_at(int k, ErrorCode code = ErrorCode::kIo);
  // As fail_at, but the k-th counted call and every one after it fail: the
  // disk stays as a program killed at that call leaves it.
  void crash_at(int k);
  // Counted calls since the last fail_at (or construction).
  int calls() const { return calls_; }
  // The name of the call that was failed ("write", "rename_over", ...);
  // empty while none was.
  const std::string& failed_call() const { return failed_call_; }

  // Counts one call named `name` and gives the error it must fail with.
  // Used by the wrapped files; they must not outlive this object.
  std::optional<Error> count(const char* name);

  // Not counted: they neither change the disk nor can fail.
  std::string native_path(const std::string& path) override { return inner_.native_path(path); }
  bool exists(const std::string& path) override { return inner_.exists(path); }
  bool is_folder(const std::string& path) override { return inner_.is_folder(path); }
  bool is_link(const std::string& path) override { return inner_.is_link(path); }
  std::optional<FileStamp> stamp(const std::string& path) override { return inner_.stamp(path); }
  Result<std::vector<DirEntry>> list(const std::string& folder) override { return inner_.list(folder); }

  Result<std::unique_ptr<InputFile>> open_read(const std::string& path) override;
  Result<std::unique_ptr<OutputFile>> create(const std::string& path) override;
  Result<std::unique_ptr<OutputFile>> create_new(const std::string& path) override;
  Result<std::unique_ptr<OutputFile>> open_append(const std::string& path) override;
  Result<void> rename_over(const std::string& from, const std::string& to) override;
  Result<void> rename_new(const std::string& from, const std::string& to) override;
  Result<void> remove_file(const std::string& path) override;
  Result<void> make_folder(const std::string& path) override;
  Result<void> remove_folder(const std::string& path) override;
  Result<void> sync_folder(const std::string& path) override;

 private:
  Result<std::unique_ptr<OutputFile>> wrap(Result<std::unique_ptr<OutputFile>> opened);

  FileSystem& inner_;
  int fail_at_ = 0;
  bool crashed_ = false;
  ErrorCode code_ = ErrorCode::kIo;
  int calls_ = 0;
  std::string failed_call_;
};

}  // namespace pw::test
