// Options of the extended chart exports read from a caller's array: defaults,
// element 0 and unknown elements never read, what is refused.
#include "spc/core/spc_request_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RunTestOptions, DefaultsAndWhatIsRefused) {
  SpcOptions read;
  ASSERT_TRUE(SPC_ReadOptions(nullptr, 0, &read));
  EXPECT_TRUE(std::isnan(read.given.centre) && std::isnan(read.given.sigma));
  EXPECT_EQ(read.runTests, kAllRunTests);
  EXPECT_FALSE(read.markFlagged);
  const double options[] = {-99, 10.0, kNaN, 5, 1, 77};  // element 0 and unknown options are not read
  ASSERT_TRUE(SPC_ReadOptions(options, 5, &read));
  EXPECT_EQ(read.given.centre, 10.0);
  EXPECT_TRUE(std::isnan(read.given.sigma));
  EXPECT_EQ(read.runTests, 5);
  EXPECT_TRUE(read.markFlagged);
  ASSERT_TRUE(SPC_ReadOptions(options, 2, &read));
  EXPECT_EQ(read.runTests, kAllRunTests);
  EXPECT_FALSE(SPC_ReadOptions(nullptr, 1, &read));
  EXPECT_FALSE(SPC_ReadOptions(options, -1, &read));
  for (double mask : {-1.0, 256.0, 2.5}) {
    const double bad[] = {0, kNaN, kNaN, mask};
    EXPECT_FALSE(SPC_ReadOptions(bad, 3, &read)) << mask;
  }
}

}  // namespace
