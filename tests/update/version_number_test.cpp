// Tests of the version number handed to the updater.
#include <gtest/gtest.h>

#include "text/error.h"
#include "update/version_number.h"

namespace kelv {
namespace {

TEST(NumVersion, MinorAndRevisionTakeAtLeastTwoDigits) {
  struct Case { FileVersion v; std::int32_t want; };
  const Case cases[] = {
      {{4, 1, 0, 61}, 40161},
      {{10, 2, 0, 5}, 100205},
      {{4, 1, 0, 123}, 401123},  // a revision above 99 keeps all its digits
      {{4, 1, 7, 61}, 40161},    // the build number takes no part
      {{0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(NumVersionDe(c.v), c.want);
  }
  EXPECT_THROW(NumVersionDe({99999, 99, 0, 999}), KelvError);  // does not fit 32 bits
}

TEST(NumVersion, OwnVersionIsTheProjectVersion) {
  // On Windows the test program carries no version resource and reads as all zero.
  const FileVersion v = OwnFileVersion();
#ifdef _WIN32
  EXPECT_EQ(NumVersionDe(v), 0);
#else
  EXPECT_EQ(NumVersionDe(v), 40161);
#endif
}

}  // namespace
}  // namespace kelv
