// Which executable paths count as a running spreadsheet host.
#include "measuring/core/host_name.h"

#include <gtest/gtest.h>

namespace {

TEST(HostPath, LastComponentMatchesIgnoringAsciiCase) {
  EXPECT_TRUE(Proc_IsHostPath("C:\\Program Files\\Office\\EXCEL.exe"));
  EXPECT_TRUE(Proc_IsHostPath("C:\\Office\\excel.exe"));
  EXPECT_TRUE(Proc_IsHostPath("C:\\Office\\EXCEL.EXE"));
  EXPECT_TRUE(Proc_IsHostPath("Z:\\tmp\\x\\eXcEl.ExE"));
  EXPECT_TRUE(Proc_IsHostPath("\\EXCEL.exe"));
}

TEST(HostPath, OtherNamesDoNotCount) {
  EXPECT_FALSE(Proc_IsHostPath("C:\\Office\\XEXCEL.exe"));
  EXPECT_FALSE(Proc_IsHostPath("C:\\Office\\EXCEL.exe.bak"));
  EXPECT_FALSE(Proc_IsHostPath("C:\\Office\\EXCEL.ex"));
  EXPECT_FALSE(Proc_IsHostPath("C:\\Office\\EXCEL .exe"));
  EXPECT_FALSE(Proc_IsHostPath("C:\\Office\\"));
}

TEST(HostPath, OnlyTheComponentAfterTheLastBackslashCounts) {
  EXPECT_FALSE(Proc_IsHostPath("C:\\EXCEL.exe\\other.exe"));
  // A forward slash is no separator here: the last backslash decides.
  EXPECT_FALSE(Proc_IsHostPath("C:\\dir/EXCEL.exe"));
}

TEST(HostPath, BareNameWithoutDirectoryNeverCounts) {
  EXPECT_FALSE(Proc_IsHostPath("EXCEL.exe"));
  EXPECT_FALSE(Proc_IsHostPath(""));
}

TEST(HostPath, BytesAboveAsciiAreComparedAsTheyAre) {
  // Only A-Z fold; an accented letter is not the same as its base letter.
  EXPECT_FALSE(Proc_IsHostPath("C:\\\xC9XCEL.exe"));
}

}  // namespace
