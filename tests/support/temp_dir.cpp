#include "support/temp_dir.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

#include "base/text.h"

namespace pw::test {

TempDir::TempDir() {
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("pw_test_" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      root_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(root_, error);
}

std::string TempDir::path() const { return utf8_to_cp1252(root_.string()); }

std::filesystem::path TempDir::native(std::string_view rel) const { return root_ / std::filesystem::path(rel); }

void TempDir::write(std::string_view rel, std::string_view bytes) const {
  const std::filesystem::path file = native(rel);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string TempDir::read(std::string_view rel) const {
  std::ifstream in(native(rel), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempDir::exists(std::string_view rel) const {
  std::error_code error;
  return std::filesystem::exists(native(rel), error);
}

std::vector<std::string> TempDir::names(std::string_view rel) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& e : std::filesystem::directory_iterator(native(rel), error)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace pw::test
