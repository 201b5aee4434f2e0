// Random documents and edits: after any sequence of writes and deletions a
// document must behave exactly as the parse of its own bytes does, or
// later edits would land on the wrong lines.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "config/profile.h"

namespace pw {
namespace {

using namespace std::string_literals;

const std::vector<std::string> kFragments = {"[", "]", "=", "\r", "\n", "\r\n", " ", "\t", "a", "B", "k",
                                             "\"", "'", "\0"s, "\xE9", "[a]\r\n", "k=1\r\n", "\r\n\r\n"};
const std::vector<std::string> kSections = {"a", "B", " A ", "b", "[x", "c]d", "", "a\r\n[b]", "k"};
const std::vector<std::string> kKeys = {"k", "K", " k ", "x=y", "\nk", "[b]", "", "a"};
const std::vector<std::string> kValues = {"", "v", "\"q\"", "1\r\n[b]\r\nz=2", "\r", "\n", "x\r", "[c]", " a=b "};

template <class T>
const T& pick(std::mt19937& random, const std::vector<T>& from) {
  return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

std::string random_bytes(std::mt19937& random) {
  std::string bytes;
  const int count = std::uniform_int_distribution<int>(0, 30)(random);
  for (int i = 0; i < count; ++i) bytes += pick(random, kFragments);
  return bytes;
}

// A write, or one time in five a deletion, of names picked at random.
std::function<void(ProfileDocument&)> random_edit(std::mt19937& random) {
  const bool is_delete = std::uniform_int_distribution<int>(0, 4)(random) == 0;
  const std::string section = pick(random, kSections), key = pick(random, kKeys), value = pick(random, kValues);
  return [=](ProfileDocument& doc) {
    if (is_delete) {
      doc.delete_section(section);
    } else {
      doc.write(section, key, value);
    }
  };
}

void expect_same_answers(const ProfileDocument& expected, const ProfileDocument& actual) {
  ASSERT_EQ(expected.serialize(), actual.serialize());
  ASSERT_EQ(expected.section_names(), actual.section_names());
  for (const std::string& section : kSections) {
    for (const std::string& key : kKeys) ASSERT_EQ(expected.find(section, key), actual.find(section, key));
  }
}

TEST(ProfileDocumentRandom, EditedDocumentMatchesParseOfItsBytes) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const std::string original = random_bytes(random);
    ProfileDocument doc = ProfileDocument::parse(original);
    ASSERT_EQ(original, doc.serialize());
    for (int step = 0; step < 25; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      const auto edit = random_edit(random);
      ProfileDocument reparsed = ProfileDocument::parse(doc.serialize());
      edit(doc);
      edit(reparsed);
      expect_same_answers(reparsed, doc);
      expect_same_answers(ProfileDocument::parse(doc.serialize()), doc);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace pw
