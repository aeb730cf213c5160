// Loading the constants table when MERIDAN.dll attaches: where the file is
// looked for, what the user is told when it cannot be used, and what the
// library then holds. Each case starts table_probe.exe, which loads the real
// library in a fresh process (the table is read once, at attach) from a folder
// of its own, with a chosen current directory, catches any message box, and reports the figures of a
// fixed Create_SPCStatistics request (built from table rows) and the table
// itself as found in the library's memory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "spc/core/spc_table.h"
#include "win_test_support.h"

namespace {

const char kMissingTableText[] =
    "The file TESSAN_SPC.TAB was not found. The controlling limits of Control Charts cannot be calculated !";

// Two tables told apart by marker values in rows 0 and 1000, which no real
// table holds.
const char kCurrentTable[] =
    "; table in the current directory\r\n0 \"1111.5\"\r\n255 d2 \"2.326\"\r\n1000 \"2222.25\"\r\n";
const char* const kCurrentMarkers[] = {"0=1111.5", "1000=2222.25"};
const char kSystemTable[] =
    "; table in the system directory\r\n0 \"3333.5\"\r\n255 d2 \"9.5\"\r\n1000 \"4444.25\"\r\n";
const char* const kSystemMarkers[] = {"0=3333.5", "1000=4444.25"};
const char kLibraryTable[] =
    "; table beside the library\r\n0 \"5555.5\"\r\n255 d2 \"4.0\"\r\n1000 \"6666.25\"\r\n";
const char* const kLibraryMarkers[] = {"0=5555.5", "1000=6666.25"};

// The probe's request: two subgroups of 5 values with range 4 each, sigma from
// the mean range. Its within-subgroup sigma (figure 15) is 4 / d2(5), row 255.
constexpr int kSigma = 15, kUpperWarning = 19, kRangeUpper = 25, kRangeLower = 29;
double SigmaFor(float d2) { return 4.0 / d2; }

struct ProbeReport {
  long exitCode = -1;
  std::multimap<std::string, std::string> facts;
  std::string Fact(const std::string& key) const {
    auto it = facts.find(key);
    return it == facts.end() ? "(none)" : it->second;
  }
  std::vector<std::string> All(const std::string& key) const {
    std::vector<std::string> values;
    for (auto range = facts.equal_range(key); range.first != range.second; ++range.first)
      values.push_back(range.first->second);
    return values;
  }
  // Figure `index` of the probe's Create_SPCStatistics request; NaN when not reported.
  double Figure(int index) const {
    std::string prefix = std::to_string(index) + " ";
    for (const std::string& figure : All("figure")) {
      if (figure.compare(0, prefix.size(), prefix) != 0) continue;
      uint64_t bits = std::stoull(figure.substr(prefix.size()), nullptr, 16);
      double value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    return std::numeric_limits<double>::quiet_NaN();
  }
  // Entry `row` of the table the library holds, as the bits of the float.
  std::string EntryBits(int row) const {
    std::string prefix = std::to_string(row) + " ";
    for (const std::string& entry : All("entry"))
      if (entry.compare(0, prefix.size(), prefix) == 0) return entry.substr(prefix.size());
    return "(none)";
  }
};

std::string Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char text[9];
  std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(bits));
  return text;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class TableLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(length, 0u);
    systemTable = std::wstring(system, length) + L"\\TESSAN_SPC.TAB";
    DeleteFileW(systemTable.c_str());  // left over from an interrupted run
    ASSERT_FALSE(wintest::FileExists(systemTable));
    workDir = wintest::MakeTempDir(L"table");
    // The probe and the library in a folder of their own, as installed, so
    // that the table built beside the test programs is not beside them.
    libraryDir = wintest::MakeTempDir(L"library");
    for (const wchar_t* file : {L"table_probe.exe", L"MERIDAN.dll", L"tessan_ddk.dll"})
      ASSERT_TRUE(CopyFileW((wintest::BinDir() + file).c_str(), (libraryDir + file).c_str(), FALSE));
  }
  void TearDown() override {
    DeleteFileW(systemTable.c_str());
    wintest::RemoveTree(workDir);
    wintest::RemoveTree(libraryDir);
  }

  void PutInCurrentDirectory(const std::string& bytes) {
    ASSERT_TRUE(wintest::WriteFileBytes(workDir + L"TESSAN_SPC.TAB", bytes));
  }
  void PutInSystemDirectory(const std::string& bytes) { ASSERT_TRUE(wintest::WriteFileBytes(systemTable, bytes)); }
  void PutBesideLibrary(const std::string& bytes) {
    ASSERT_TRUE(wintest::WriteFileBytes(libraryDir + L"TESSAN_SPC.TAB", bytes));
  }

  // Runs the probe in workDir; `probes` are ROW=VALUE pairs locating the table.
  ProbeReport RunProbe(const std::vector<std::string>& probes) {
    ProbeReport report;
    std::wstring result = workDir + L"probe_result.txt";
    std::wstring command = L"\"" + libraryDir + L"table_probe.exe\" \"" + result + L"\"";
    for (const std::string& probe : probes) command += L" " + Widen(probe);
    report.exitCode = wintest::RunAndWait(command, workDir, 30000);
    std::istringstream lines(wintest::ReadFileBytes(result));
    for (std::string line; std::getline(lines, line);) {
      size_t blank = line.find(' ');
      report.facts.emplace(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
    }
    return report;
  }

  static std::vector<std::string> Markers(const char* const (&markers)[2]) {
    return std::vector<std::string>(markers, markers + 2);
  }

  std::wstring workDir;
  std::wstring libraryDir;
  std::wstring systemTable;
};

void ExpectLoadedWithoutMessage(const ProbeReport& report) {
  EXPECT_EQ(report.exitCode, 0) << "the probe ran to its end (-1: hung and was stopped)";
  EXPECT_EQ(report.Fact("loaded"), "1");
  EXPECT_EQ(report.Fact("boxes"), "0") << "unexpected message: " << report.Fact("text");
}

// Without a table every row reads 0, so sigma from the mean range is 4 / 0.
void ExpectOneMissingTableMessage(const ProbeReport& report) {
  EXPECT_EQ(report.exitCode, 0) << "the probe ran to its end (-1: hung and was stopped)";
  EXPECT_EQ(report.Fact("loaded"), "1") << "the library loads even without its table";
  ASSERT_EQ(report.Fact("boxes"), "1");
  EXPECT_EQ(report.Fact("text"), kMissingTableText);
  EXPECT_EQ(report.Fact("caption"), "Error") << "the system's default caption";
  EXPECT_EQ(report.Fact("owner"), "none");
  EXPECT_EQ(report.Fact("icon"), "error");
  EXPECT_EQ(report.Figure(kSigma), std::numeric_limits<double>::infinity()) << "the table stays empty";
}

TEST_F(TableLoad, FileInTheCurrentDirectoryIsLoaded) {
  PutInCurrentDirectory(kCurrentTable);
  ProbeReport report = RunProbe(Markers(kCurrentMarkers));
  ExpectLoadedWithoutMessage(report);
  EXPECT_DOUBLE_EQ(report.Figure(kSigma), SigmaFor(2.326f));
  EXPECT_DOUBLE_EQ(report.Figure(kUpperWarning), 3.0) << "row 975 is 0 in this table";
  ASSERT_EQ(report.Fact("table"), "found");
  EXPECT_EQ(report.EntryBits(255), Bits(2.326f));
  EXPECT_EQ(report.EntryBits(254), Bits(0.0f)) << "rows no line names stay 0";
}

TEST_F(TableLoad, FileOnlyInTheSystemDirectoryIsLoaded) {
  PutInSystemDirectory(kSystemTable);
  ProbeReport report = RunProbe(Markers(kSystemMarkers));
  ExpectLoadedWithoutMessage(report);
  EXPECT_DOUBLE_EQ(report.Figure(kSigma), SigmaFor(9.5f));
  ASSERT_EQ(report.Fact("table"), "found");
  EXPECT_EQ(report.EntryBits(255), Bits(9.5f));
}

TEST_F(TableLoad, FileInTheCurrentDirectoryWinsOverTheSystemDirectory) {
  PutInCurrentDirectory(kCurrentTable);
  PutInSystemDirectory(kSystemTable);
  ProbeReport current = RunProbe(Markers(kCurrentMarkers));
  ExpectLoadedWithoutMessage(current);
  EXPECT_DOUBLE_EQ(current.Figure(kSigma), SigmaFor(2.326f));
  ASSERT_EQ(current.Fact("table"), "found");
  EXPECT_EQ(current.EntryBits(255), Bits(2.326f));
  EXPECT_EQ(RunProbe(Markers(kSystemMarkers)).Fact("table"), "absent");
}

TEST_F(TableLoad, FileOnlyBesideTheLibraryIsLoaded) {
  PutBesideLibrary(kLibraryTable);
  ProbeReport report = RunProbe(Markers(kLibraryMarkers));
  ExpectLoadedWithoutMessage(report);
  EXPECT_DOUBLE_EQ(report.Figure(kSigma), SigmaFor(4.0f));
  ASSERT_EQ(report.Fact("table"), "found");
  EXPECT_EQ(report.EntryBits(255), Bits(4.0f));
}

TEST_F(TableLoad, CurrentAndSystemDirectoryWinOverTheLibraryFolder) {
  PutBesideLibrary(kLibraryTable);
  PutInCurrentDirectory(kCurrentTable);
  ProbeReport current = RunProbe(Markers(kCurrentMarkers));
  ExpectLoadedWithoutMessage(current);
  EXPECT_EQ(current.Fact("table"), "found");
  EXPECT_DOUBLE_EQ(current.Figure(kSigma), SigmaFor(2.326f));

  ASSERT_TRUE(DeleteFileW((workDir + L"TESSAN_SPC.TAB").c_str()));
  PutInSystemDirectory(kSystemTable);
  ProbeReport system = RunProbe(Markers(kSystemMarkers));
  ExpectLoadedWithoutMessage(system);
  EXPECT_EQ(system.Fact("table"), "found");
  EXPECT_DOUBLE_EQ(system.Figure(kSigma), SigmaFor(9.5f));
}

TEST_F(TableLoad, MissingFileShowsTheMessageOnce) {
  ExpectOneMissingTableMessage(RunProbe({}));
}

TEST_F(TableLoad, EmptyFileShowsTheMessageAndLoadsNothing) {
  PutInCurrentDirectory("");
  PutInSystemDirectory(kSystemTable);  // found first, the empty file ends the search
  ProbeReport report = RunProbe(Markers(kSystemMarkers));
  ExpectOneMissingTableMessage(report);
  EXPECT_EQ(report.Fact("table"), "absent");
}

TEST_F(TableLoad, FileWithBareLineFeedsIsRejectedWithTheMessage) {
  PutInCurrentDirectory("0 \"1111.5\"\n1000 \"2222.25\"\n");
  ProbeReport report = RunProbe(Markers(kCurrentMarkers));
  ExpectOneMissingTableMessage(report);
  EXPECT_EQ(report.Fact("table"), "absent");
}

TEST_F(TableLoad, FileLockedInTheCurrentDirectoryIsPassedOverForTheSystemDirectory) {
  PutInCurrentDirectory(kCurrentTable);
  PutInSystemDirectory(kSystemTable);
  HANDLE locked = CreateFileW((workDir + L"TESSAN_SPC.TAB").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  ProbeReport report = RunProbe(Markers(kSystemMarkers));
  CloseHandle(locked);
  ExpectLoadedWithoutMessage(report);
  EXPECT_DOUBLE_EQ(report.Figure(kSigma), SigmaFor(9.5f));
  EXPECT_EQ(report.Fact("table"), "found");
}

TEST_F(TableLoad, ShippedTableIsLoadedEntryForEntry) {
  std::string shipped = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
  ASSERT_FALSE(shipped.empty());
  PutInCurrentDirectory(shipped);
  // The same text through the core's parser gives the expected entries.
  ASSERT_TRUE(SPC_ParseTable(shipped.data(), shipped.size()));
  char d2[32], u975[32];
  std::snprintf(d2, sizeof d2, "255=%.9g", static_cast<double>(SPC_GetConstant(255)));
  std::snprintf(u975, sizeof u975, "975=%.9g", static_cast<double>(SPC_GetConstant(975)));
  ProbeReport report = RunProbe({d2, u975});
  ExpectLoadedWithoutMessage(report);
  double sigma = report.Figure(kSigma);
  EXPECT_NEAR(sigma, 4.0 / 2.326, 0.0005) << "d2(5) = 2.326";
  EXPECT_DOUBLE_EQ(sigma, SigmaFor(SPC_GetConstant(255)));
  EXPECT_DOUBLE_EQ(report.Figure(kUpperWarning), 3.0 + SPC_GetConstant(975) * sigma / std::sqrt(5.0));
  EXPECT_DOUBLE_EQ(report.Figure(kRangeUpper), SPC_GetConstant(425) * sigma);
  EXPECT_NEAR(report.Figure(kRangeUpper) / sigma, 4.918, 0.0005) << "D2(5) = 4.918";
  EXPECT_EQ(report.Figure(kRangeLower), 0.0) << "D1(5) = 0";
  ASSERT_EQ(report.Fact("table"), "found");
  for (int row = 0; row < kSpcTableSize; ++row)
    EXPECT_EQ(report.EntryBits(row), Bits(SPC_GetConstant(static_cast<int16_t>(row)))) << "row " << row;
}

}  // namespace
