// The constants table: how table text is read, and the shipped TESSAN_SPC.TAB
// checked against published control-chart constants and the normal distribution.
#include "spc/core/spc_table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core_test_support.h"

#ifndef MERIDAN_DATA_DIR
#error "MERIDAN_DATA_DIR must name the folder of TESSAN_SPC.TAB"
#endif

namespace {

bool Parse(const std::string& text) { return SPC_ParseTable(text.data(), text.size()); }

float Entry(int index) { return SPC_GetConstant(static_cast<int16_t>(index)); }

int NonZeroEntries() {
  int count = 0;
  for (int i = 0; i < kSpcTableSize; ++i) count += Entry(i) != 0.0f;
  return count;
}

// A data line of exactly `length` bytes, CR LF included, setting entry 7 to 1.5.
std::string LineOfLength(size_t length) {
  std::string line = "7 ";
  line += std::string(length - line.size() - 7, 'x');
  line += "\"1.5\"\r\n";
  EXPECT_EQ(line.size(), length);
  return line;
}

class TableText : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Parse("")); }  // every entry back to 0
};

// A table text and every entry it must set; all other entries stay 0.
struct TextCase {
  const char* behaviour;
  std::string text;
  std::vector<std::pair<int, float>> entries;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.behaviour; }

class TableTextCase : public TableText, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TableTextCase, SetsExactlyTheEntriesItNames) {
  const TextCase& c = GetParam();
  ASSERT_TRUE(Parse(c.text));
  EXPECT_TRUE(SPC_TableLoaded());
  int nonZero = 0;
  for (const auto& [index, value] : c.entries) {
    EXPECT_EQ(Entry(index), value) << "entry " << index;
    nonZero += value != 0.0f;
  }
  EXPECT_EQ(NonZeroEntries(), nonZero);
}

const float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    TableText, TableTextCase,
    ::testing::Values(
        TextCase{"LeadingBlanksAndAWordBeforeTheValueAreSkipped", "   7 word \"0.5\"\r\n", {{7, 0.5f}}},
        TextCase{"LinesStartingWithALetterATabOrAQuoteChangeNothing",
                 "d2 252 \"1.5\"\r\n\t252 \"1.5\"\r\n\"252\" \"1.5\"\r\n \t7 \"2\"\r\n", {}},
        TextCase{"EmptyAndCommentLinesAreSkipped", "\r\n; heading 5 \"9\"\r\n   \r\n5 c4 \"0.94\"\r\n\r\n",
                 {{5, 0.94f}}},
        TextCase{"ValueWithoutClosingQuoteEndsAtTheCarriageReturn", "7 \"2.5\r\n8 \"3.5\"\r\n", {{7, 2.5f}, {8, 3.5f}}},
        TextCase{"LastLineWithoutLineEndIsRead", "7 \"1\"\r\n975 u \"1.96\"", {{7, 1.0f}, {975, 1.96f}}},
        TextCase{"LastLineWithoutLineEndOrClosingQuoteIsRead", "975 u \"1.96", {{975, 1.96f}}},
        TextCase{"LaterLineForTheSameIndexWins", "975 u \"1.96\"\r\n975 u \"2.5\"\r\n", {{975, 2.5f}}},
        TextCase{"LinesMayComeInAnyOrderAndUnnamedEntriesStayZero", "1000 \"4\"\r\n0 \"1\"\r\n500 \"2\"\r\n",
                 {{0, 1.0f}, {500, 2.0f}, {1000, 4.0f}}},
        TextCase{"IndexEndsAtTheFirstNonDigit", "007x12 \"3\"\r\n9\"4\"\r\n", {{7, 3.0f}, {12, 0.0f}, {9, 4.0f}}},
        // "inf" is not a decimal number; 0.1 is rounded once, to single precision.
        TextCase{"ValueIsReadLikeAtof",
                 "1 \" 1.25\"\r\n2 \"-0.75\"\r\n3 \"2.5e-3\"\r\n4 \"1.5abc\"\r\n5 \"abc\"\r\n"
                 "6 \".5\"\r\n7 \"+3\"\r\n8 \"1e\"\r\n9 \"inf\"\r\n10 \"\"\r\n11 \"0.1\"\r\n",
                 {{1, 1.25f}, {2, -0.75f}, {3, 0.0025f}, {4, 1.5f}, {5, 0.0f}, {6, 0.5f}, {7, 3.0f}, {8, 1.0f},
                  {9, 0.0f}, {10, 0.0f}, {11, 0.1f}}},
        TextCase{"ValuesBeyondSinglePrecisionBecomeInfiniteOrZero",
                 "1 \"1e39\"\r\n2 \"-1e39\"\r\n3 \"1e400\"\r\n4 \"-0.0001e400\"\r\n5 \"1e-400\"\r\n"
                 "6 \"1000e-330\"\r\n7 \"3.4028235e38\"\r\n",
                 {{1, kInfinity}, {2, -kInfinity}, {3, kInfinity}, {4, -kInfinity}, {5, 0.0f}, {6, 0.0f},
                  {7, std::numeric_limits<float>::max()}}},
        TextCase{"IndexWithoutQuoteIsSkipped", "7 c4 0.94\r\n8 \"2\"\r\n9 x\r\n", {{7, 0.0f}, {8, 2.0f}, {9, 0.0f}}},
        TextCase{"CarriageReturnAloneDoesNotEndALine", "7 \"1\"\r8 \"2\"\r\n", {{7, 1.0f}, {8, 0.0f}}}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.behaviour); });

TEST_F(TableText, EveryParseStartsFromAnEmptyTable) {
  ASSERT_TRUE(Parse("5 \"1\"\r\n"));
  ASSERT_TRUE(Parse("6 \"2\"\r\n"));
  EXPECT_EQ(Entry(5), 0.0f);
  EXPECT_EQ(Entry(6), 2.0f);
}

TEST_F(TableText, DecimalPointIsAPointUnderAnyLocale) {
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "German_Germany.1252"))
    GTEST_SKIP() << "no locale with a decimal comma here";
  bool parsed = Parse("7 \"1.5\"\r\n8 \"1,5\"\r\n");
  std::setlocale(LC_NUMERIC, "C");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(Entry(7), 1.5f);
  EXPECT_EQ(Entry(8), 1.0f);
}

TEST_F(TableText, IndexAboveTheTableIsSkipped) {
  ASSERT_TRUE(Parse("1000 \"1\"\r\n1001 \"2\"\r\n65537 \"3\"\r\n99999999999999999999999 \"4\"\r\n"));
  EXPECT_EQ(Entry(1000), 1.0f);
  EXPECT_EQ(Entry(1), 0.0f);  // no wrap-around of 65537 or longer digit strings
  EXPECT_EQ(NonZeroEntries(), 1);
  EXPECT_EQ(SPC_GetConstant(1001), 0.0f);
  EXPECT_EQ(SPC_GetConstant(-1), 0.0f);
}

TEST_F(TableText, LineOf199BytesIsReadAndLongerLinesAreSkipped) {
  ASSERT_TRUE(Parse(LineOfLength(199)));
  EXPECT_EQ(Entry(7), 1.5f);
  ASSERT_TRUE(Parse(LineOfLength(200) + "8 \"2\"\r\n"));
  EXPECT_EQ(Entry(7), 0.0f);
  EXPECT_EQ(Entry(8), 2.0f);
}

TEST_F(TableText, OverlongLastLineWithoutLineEndIsSkipped) {
  std::string line = LineOfLength(202);
  ASSERT_TRUE(Parse(line.substr(0, line.size() - 2)));  // 200 bytes, no CR LF
  EXPECT_EQ(Entry(7), 0.0f);
  ASSERT_TRUE(Parse(LineOfLength(201).substr(0, 199)));
  EXPECT_EQ(Entry(7), 1.5f);
}

TEST_F(TableText, BareLineFeedRejectsTheWholeTextAndKeepsTheTable) {
  ASSERT_TRUE(Parse("5 \"1\"\r\n"));
  EXPECT_FALSE(Parse("6 \"2\"\n7 \"3\"\n"));
  EXPECT_FALSE(Parse("6 \"2\"\r\n; note\n7 \"3\"\r\n"));
  EXPECT_FALSE(Parse("\n"));
  EXPECT_EQ(Entry(5), 1.0f);
  EXPECT_EQ(NonZeroEntries(), 1);
}

// The shipped file, as the library reads it.
class ShippedTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    text = coretest::ReadFile(MERIDAN_DATA_DIR "/TESSAN_SPC.TAB");
  }
  void SetUp() override {
    ASSERT_FALSE(text.empty()) << "cannot read " MERIDAN_DATA_DIR "/TESSAN_SPC.TAB";
    ASSERT_TRUE(Parse(text));
  }
  static std::string text;
};
std::string ShippedTable::text;

const double kPi = std::acos(-1.0);

double NormalCdf(double u) { return 0.5 * std::erfc(-u / std::sqrt(2.0)); }

double InverseNormalCdf(double p) {
  double low = 0.0, high = 10.0;
  for (int i = 0; i < 200; ++i) {
    double middle = 0.5 * (low + high);
    (NormalCdf(middle) < p ? low : high) = middle;
  }
  return 0.5 * (low + high);
}

// Linear interpolation between neighbouring quantile rows, as the charts read them.
double InterpolatedQuantile(double perMille) {
  int row = static_cast<int>(perMille);
  return Entry(row) + (Entry(row + 1) - Entry(row)) * (perMille - row);
}

TEST_F(ShippedTable, HasTheFileFormatTheLibraryReads) {
  size_t start = 0;
  int dataLines = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "the last line ends with CR LF too";
    std::string line = text.substr(start, end - start);
    EXPECT_LE(line.size() + 2, 199u) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
      ++dataLines;
      EXPECT_LE(std::stoi(line), 1000) << line;
      size_t open = line.find('"');
      ASSERT_NE(open, std::string::npos) << line;
      EXPECT_EQ(line.find('"', open + 1), line.size() - 1) << line;
    } else {
      EXPECT_TRUE(line.empty() || line[0] == ';') << "comment lines start with ';': " << line;
    }
    start = end + 2;
  }
  EXPECT_EQ(dataLines, 7 * 19 + 501);
}

// A published control-chart factor or normal quantile: its row, the figure and half its last decimal.
struct PublishedFigure {
  const char* name;
  int row;
  double value, tolerance;
};

TEST_F(ShippedTable, MatchesPublishedControlChartFactorsAndNormalQuantiles) {
  const PublishedFigure figures[] = {
      {"d2(2)", 252, 1.128, 5e-4},  {"d2(3)", 253, 1.693, 5e-4},  {"d2(4)", 254, 2.059, 5e-4},
      {"d2(5)", 255, 2.326, 5e-4},  {"d2(10)", 260, 3.078, 5e-4}, {"d2(20)", 270, 3.735, 5e-4},
      {"c4(2)", 102, 0.7979, 5e-5}, {"c4(4)", 104, 0.9213, 5e-5}, {"c4(5)", 105, 0.9400, 5e-5},
      {"c4(10)", 110, 0.9727, 5e-5}, {"c4(20)", 120, 0.9869, 5e-5},
      {"D1(7)", 397, 0.205, 5e-4},  {"D1(8)", 398, 0.388, 5e-4},  {"D1(20)", 410, 1.549, 5e-4},
      {"D2(2)", 422, 3.686, 5e-4},  {"D2(5)", 425, 4.918, 5e-4},  {"D2(10)", 430, 5.469, 5e-4},
      {"D2(20)", 440, 5.921, 5e-4},
      {"B5(6)", 336, 0.029, 5e-4},  {"B5(10)", 340, 0.276, 5e-4}, {"B6(2)", 362, 2.606, 5e-4},
      {"B6(5)", 365, 1.964, 5e-4},  {"B6(10)", 370, 1.669, 5e-4},
      {"u(0.900)", 900, 1.2816, 5e-5}, {"u(0.950)", 950, 1.645, 5e-4}, {"u(0.975)", 975, 1.960, 5e-4},
      {"u(0.990)", 990, 2.326, 5e-4},  {"u(0.995)", 995, 2.576, 5e-4}, {"u(0.999)", 999, 3.090, 5e-4}};
  for (const PublishedFigure& figure : figures)
    EXPECT_NEAR(Entry(figure.row), figure.value, figure.tolerance) << figure.name;
  // Factors whose published value is 0, and figures that are exact.
  for (int m = 2; m <= 6; ++m) EXPECT_EQ(Entry(390 + m), 0.0f) << "D1(" << m << ")";
  for (int m = 2; m <= 5; ++m) EXPECT_EQ(Entry(330 + m), 0.0f) << "B5(" << m << ")";
  EXPECT_EQ(Entry(500), 0.0f);                            // u(0.5)
  EXPECT_NEAR(Entry(252), 2.0 / std::sqrt(kPi), 1e-6);  // d2(2) = 2/sqrt(pi)
  EXPECT_NEAR(Entry(103), std::sqrt(kPi) / 2.0, 1e-6);  // c4(3) = sqrt(pi)/2
}

TEST_F(ShippedTable, StandardDeviationChartFactorsAreThreeSigmaAroundC4) {
  // B5 + B6 = 2 c4 wherever B5 is not cut at 0; B6 - c4 = 3 sqrt(1 - c4^2).
  for (int m = 2; m <= 20; ++m) {
    double c4 = Entry(100 + m);
    EXPECT_NEAR(Entry(360 + m) - c4, 3.0 * std::sqrt(1.0 - c4 * c4), 2e-6) << "m = " << m;
    if (Entry(330 + m) > 0.0f) {
      EXPECT_NEAR(Entry(330 + m) + Entry(360 + m), 2.0 * c4, 2e-6) << "m = " << m;
    }
  }
}

TEST_F(ShippedTable, RangeFactorsGrowWithTheSubgroupSize) {
  for (int m = 3; m <= 20; ++m) {
    EXPECT_GT(Entry(250 + m), Entry(249 + m)) << "d2(" << m << ")";
    EXPECT_GT(Entry(100 + m), Entry(99 + m)) << "c4(" << m << ")";
    EXPECT_LT(Entry(100 + m), 1.0f) << "c4(" << m << ")";
    EXPECT_GT(Entry(420 + m), Entry(419 + m)) << "D2(" << m << ")";
  }
}

TEST_F(ShippedTable, MedianFactorsMatchTheEfficiencyOfTheMedian) {
  EXPECT_NEAR(Entry(2), 1.0, 1e-6);      // the median of two values is their mean
  EXPECT_NEAR(Entry(3), 1.160, 0.0005);  // efficiency 0.743 for three values
  EXPECT_NEAR(Entry(5), 1.198, 0.0005);  // efficiency 0.697 for five values
  for (int m = 3; m <= 20; ++m) {
    EXPECT_GT(Entry(m), 1.0f) << "the median is less efficient than the mean, m = " << m;
    EXPECT_LT(Entry(m), std::sqrt(kPi / 2.0)) << "below the large-sample limit, m = " << m;
  }
  for (int m = 3; m <= 17; m += 2) EXPECT_GT(Entry(m + 2), Entry(m)) << "odd m = " << m;
  for (int m = 4; m <= 18; m += 2) EXPECT_GT(Entry(m + 2), Entry(m)) << "even m = " << m;
  for (int m = 3; m <= 19; m += 2) EXPECT_LT(Entry(m + 1), Entry(m)) << "a middle pair beats one value, m = " << m;
}

// The statistics read the table by these names; each must reach the row of
// its published figure, as the single-precision entry widened.
TEST_F(ShippedTable, NamedRowsReadTheirPublishedFactors) {
  EXPECT_NEAR(MedianFactor(5), 1.198, 5e-4);
  EXPECT_NEAR(c4(5), 0.9400, 5e-5);
  EXPECT_NEAR(d2(5), 2.326, 5e-4);
  EXPECT_NEAR(B5(10), 0.276, 5e-4);
  EXPECT_NEAR(B6(5), 1.964, 5e-4);
  EXPECT_NEAR(D1(8), 0.388, 5e-4);
  EXPECT_NEAR(D2(5), 4.918, 5e-4);
  EXPECT_NEAR(NormalQuantile(975), 1.960, 5e-4);
  EXPECT_EQ(d2(20), static_cast<double>(Entry(270)));
  EXPECT_EQ(NormalQuantile(900), static_cast<double>(Entry(900)));
}

TEST_F(ShippedTable, EveryQuantileRowInvertsTheNormalDistribution) {
  for (int row = 501; row <= 999; ++row) {
    EXPECT_GT(Entry(row), Entry(row - 1)) << "row " << row;
    EXPECT_NEAR(NormalCdf(Entry(row)), row / 1000.0, 3e-7) << "row " << row;
  }
}

TEST_F(ShippedTable, LastRowIsAFiniteStandInThatKeepsSingleValueLimitsClose) {
  ASSERT_TRUE(std::isfinite(Entry(1000)));
  EXPECT_GT(Entry(1000), Entry(999));
  // The single-values chart reads its action limit at (0.9973^(1/m) + 1) * 500 per mille,
  // between rows 999 and 1000 for every subgroup size.
  double previous = 0.0;
  for (int m = 2; m <= 20; ++m) {
    double perMille = (std::pow(0.9973, 1.0 / m) + 1.0) * 500.0;
    ASSERT_GT(perMille, 999.0);
    double interpolated = InterpolatedQuantile(perMille);
    double exact = InverseNormalCdf(perMille / 1000.0);
    EXPECT_NEAR(interpolated / exact, 1.0, 0.04) << "m = " << m << ": " << interpolated << " for " << exact;
    EXPECT_GT(interpolated, previous) << "m = " << m;
    previous = interpolated;
  }
}

TEST_F(ShippedTable, RowsNoChartReadsStayZero) {
  bool read[kSpcTableSize] = {};
  for (int m = 2; m <= 20; ++m)
    for (int base : {0, 100, 250, 330, 360, 390, 420}) read[base + m] = true;
  for (int row = 500; row <= 1000; ++row) read[row] = true;
  for (int row = 0; row < kSpcTableSize; ++row)
    if (!read[row]) {
      EXPECT_EQ(Entry(row), 0.0f) << "row " << row;
    }
}

}  // namespace
