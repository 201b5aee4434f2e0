#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "packages/package_format.h"

namespace pw {
namespace {

std::string random_bytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator());
  return bytes;
}

// A stream that expands to exactly `size` bytes.
std::string stream_of(std::size_t size) {
  std::string data = random_bytes(size, 7);
  EXPECT_EQ(Z_OK, CompressBytes(data));
  return data;
}

TEST(CompressBytes, RoundTripsEvenIncompressibleData) {
  // Random bytes grow under deflate, so these probe the capacity's margin.
  const std::string inputs[] = {"A", std::string(1, '\0'), "hello hello hello hello",
                                random_bytes(50, 1), random_bytes(150, 2),
                                random_bytes(65536, 3), random_bytes(300001, 4),
                                std::string(1 << 20, '\0')};
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.size());
    std::string data = input;
    ASSERT_EQ(Z_OK, CompressBytes(data));
    EXPECT_NE(input, data);
    ASSERT_EQ(Z_OK, ExpandBytes(data, static_cast<std::int32_t>(input.size())));
    EXPECT_EQ(input, data);
  }
}

TEST(ExpandBytes, CapacityIsNearestWholeNumberWithHalvesToEven) {
  struct Case {
    std::int32_t expected;
    std::size_t capacity;  // S * 1.01 + 12, rounded
  } cases[] = {
      {0, 12}, {1, 13},       // 13.01
      {50, 62},               // 62.5 -> even 62
      {150, 164},             // 163.5 -> even 164
      {60, 73},               // 72.6
      {100, 113}, {1000, 1022},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    std::string fits = stream_of(c.capacity);
    EXPECT_EQ(Z_OK, ExpandBytes(fits, c.expected));
    EXPECT_EQ(c.capacity, fits.size());
    std::string one_over = stream_of(c.capacity + 1);
    EXPECT_EQ(Z_BUF_ERROR, ExpandBytes(one_over, c.expected));
    EXPECT_EQ(random_bytes(c.capacity, 7), one_over);  // what fitted is kept
  }
}

TEST(ExpandBytes, ImpossibleSizesAreRefusedBeforeAllocating) {
  std::string data = "xyz";
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(data, -1));
  EXPECT_EQ("xyz", data);
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(data, 3 * 1032 + 1025));
  EXPECT_EQ("xyz", data);  // refused before zlib saw it
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(data, 3 * 1032 + 1024));
  EXPECT_NE("xyz", data);  // at the cap zlib was asked, and found garbage

  std::string zeros(1 << 20, '\0');  // about 1000:1, near the real limit
  ASSERT_EQ(Z_OK, CompressBytes(zeros));
  EXPECT_EQ(Z_OK, ExpandBytes(zeros, 1 << 20));
  EXPECT_EQ(std::string(1 << 20, '\0'), zeros);
}

TEST(ExpandBytes, IgnoresBytesAfterTheStreamAndRefusesCutStreams) {
  std::string stream = stream_of(500);
  std::string padded = stream + "trailing \x78\x9C bytes";
  EXPECT_EQ(Z_OK, ExpandBytes(padded, 500));
  EXPECT_EQ(random_bytes(500, 7), padded);
  std::string cut = stream.substr(0, stream.size() - 1);
  EXPECT_EQ(Z_DATA_ERROR, ExpandBytes(cut, 500));
}

}  // namespace
}  // namespace pw
