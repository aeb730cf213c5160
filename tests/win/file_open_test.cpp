// File_Open: the access and sharing its mode bits give.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "spc/gdi/file_open.h"
#include "spc_draw_support.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;
using namespace drawtest;

TEST_F(SpcDraw, FileOpenModesGiveAccessAndSharing) {
  std::wstring dir = wintest::MakeTempDir(L"fileopen");
  std::wstring path = dir + L"f.bin";
  HANDLE file = File_Open(path.c_str(), 3, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "abc", 3, &written, nullptr));
  // not shared: a second opening fails while the first is open
  HANDLE second = File_Open(path.c_str(), 1, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(second, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  // mode 0: no access rights, yet the file can be queried
  HANDLE query = File_Open(path.c_str(), 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  ASSERT_NE(query, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(query, nullptr), 3u);
  char byte;
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(query, &byte, 1, &read, nullptr));
  CloseHandle(query);
  HANDLE shared = File_Open(path.c_str(), 1 | 4, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  HANDLE again = File_Open(path.c_str(), 1 | 4, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(shared);
  CloseHandle(again);
  wintest::RemoveTree(dir);
}

}  // namespace
