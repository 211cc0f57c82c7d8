#include "base/status.h"

#include <gtest/gtest.h>

namespace grulo {
namespace {

TEST(StatusTest, MessageNamesWhereAndWhat) {
  EXPECT_TRUE(Status().ok());
  EXPECT_EQ(Status().ToString(), "ok");
  Status s = Status::AtLine("acts.txt", 12, "unknown act code 'AB12'");
  EXPECT_FALSE(s.ok());
  EXPECT_EQ(s.code(), Status::kInvalidArgument);
  EXPECT_EQ(s.ToString(), "acts.txt:12: unknown act code 'AB12'");
  EXPECT_EQ(Status::IoError("", "disk full").message(), "disk full");
  EXPECT_EQ(Status::NotFound("/t/diag10sr.tab", "No such file").code(), Status::kNotFound);
}

}  // namespace
}  // namespace grulo
