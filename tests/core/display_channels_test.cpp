// The readout's channel table: settings and values taken from elements 1 to
// 20 of the callers' arrays, never from element 0, and null arrays.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/core/display_channels.h"

namespace {

// Runs first in this binary: nothing has filled the table yet.
TEST(ChannelTable, NoChannelIsInUseBeforeTheFirstSettings) {
  for (int n = 1; n <= 20; ++n) {
    DisplayChannel channel = GetDisplayChannel(n);
    EXPECT_EQ(channel.Flags, 0) << "channel " << n;
    EXPECT_EQ(channel.Value, 0.0) << "channel " << n;
    EXPECT_STREQ(channel.Unit, "") << "channel " << n;
  }
}

// Arrays of 21 elements: element 0 holds a value that must never show up.
struct Settings {
  int16_t flags[21], devices[21], addresses[21], resolus[21];
  double nomSizes[21], usls[21], lsls[21];
  char units[401];
  Settings() {
    for (int n = 0; n <= 20; ++n) {
      flags[n] = n == 0 ? 1 : (n % 2 ? 1 : 0);
      devices[n] = static_cast<int16_t>(n == 0 ? 999 : n);
      addresses[n] = static_cast<int16_t>(n == 0 ? 999 : 100 + n);
      resolus[n] = static_cast<int16_t>(n == 0 ? 9 : n % 6);
      nomSizes[n] = n == 0 ? 999.0 : 10.0 * n;
      usls[n] = n == 0 ? 999.0 : 0.01 * n;
      lsls[n] = n == 0 ? -999.0 : -0.02 * n;
    }
    std::memset(units, 'x', 400);
    units[400] = '\0';
  }
  void Store() const {
    DisplayTable_StoreSettings(flags, devices, addresses, units, nomSizes, usls, lsls, resolus);
  }
};

TEST(ChannelTable, SettingsOfChannelNComeFromElementN) {
  Settings settings;
  std::memcpy(settings.units + 20 * 2, "mm", 2);  // channel 3
  settings.Store();
  DisplayChannel third = GetDisplayChannel(3);
  EXPECT_EQ(third.Flags, 1);
  EXPECT_EQ(third.Device, 3);
  EXPECT_EQ(third.Address, 103);
  EXPECT_EQ(third.NomSize, 30.0);
  EXPECT_EQ(third.USL, 0.03);
  EXPECT_EQ(third.LSL, -0.06);
  EXPECT_EQ(third.Resolu, 3);
  EXPECT_EQ(std::string(third.Unit), "mmxxxxxxxxxxxxxxxxxx");
  EXPECT_EQ(GetDisplayChannel(4).Flags, 0);
  EXPECT_EQ(GetDisplayChannel(20).Address, 120);
}

bool SameChannel(const DisplayChannel& a, const DisplayChannel& b) {
  return a.Flags == b.Flags && a.Device == b.Device && a.Address == b.Address && std::strcmp(a.Unit, b.Unit) == 0 &&
         a.NomSize == b.NomSize && a.USL == b.USL && a.LSL == b.LSL && a.Resolu == b.Resolu && a.Value == b.Value &&
         a.Error == b.Error;
}

TEST(ChannelTable, ElementZeroOfEveryArrayIsIgnored) {
  Settings settings;
  settings.Store();
  DisplayChannel before[21];
  for (int n = 1; n <= 20; ++n) before[n] = GetDisplayChannel(n);
  settings.flags[0] = 0;
  settings.devices[0] = -5;
  settings.addresses[0] = -5;
  settings.resolus[0] = 0;
  settings.nomSizes[0] = settings.usls[0] = settings.lsls[0] = 12345.0;
  settings.Store();
  for (int n = 1; n <= 20; ++n) EXPECT_TRUE(SameChannel(before[n], GetDisplayChannel(n))) << "channel " << n;

  double values[21];
  int16_t errors[21];
  for (int n = 0; n <= 20; ++n) values[n] = n, errors[n] = 0;
  values[0] = -1, errors[0] = 1;
  DisplayTable_StoreValues(values, errors);
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(GetDisplayChannel(n).Value, static_cast<double>(n));
    EXPECT_EQ(GetDisplayChannel(n).Error, 0);
  }
}

TEST(ChannelTable, UnitOfTwentyCharactersWithoutNulIsTakenWholeAndTerminated) {
  Settings settings;
  settings.Store();
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(std::string(GetDisplayChannel(n).Unit), std::string(20, 'x'));
}

TEST(ChannelTable, UnitKeepsItsBlanksAndEndsAtANul) {
  Settings settings;
  std::memcpy(settings.units, "mm                  ", 20);
  std::memcpy(settings.units + 20, "in\0xxxxxxxxxxxxxxxxx", 20);
  settings.Store();
  EXPECT_EQ(std::string(GetDisplayChannel(1).Unit), "mm                  ");
  EXPECT_EQ(std::string(GetDisplayChannel(2).Unit), "in");
}

TEST(ChannelTable, NewSettingsResetValueAndError) {
  Settings settings;
  settings.Store();
  double values[21];
  int16_t errors[21];
  for (int n = 0; n <= 20; ++n) values[n] = 5.0, errors[n] = 1;
  DisplayTable_StoreValues(values, errors);
  EXPECT_EQ(GetDisplayChannel(7).Value, 5.0);
  settings.Store();
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(GetDisplayChannel(n).Value, 0.0);
    EXPECT_EQ(GetDisplayChannel(n).Error, 0);
  }
}

TEST(ChannelTable, ValuesReachEveryChannelInUseOrNot) {
  Settings settings;
  settings.Store();
  double values[21];
  int16_t errors[21];
  for (int n = 0; n <= 20; ++n) values[n] = 0.5 * n, errors[n] = static_cast<int16_t>(n == 4 ? -3 : 0);
  DisplayTable_StoreValues(values, errors);
  EXPECT_EQ(GetDisplayChannel(2).Value, 1.0);  // not in use
  EXPECT_EQ(GetDisplayChannel(19).Value, 9.5);
  EXPECT_EQ(GetDisplayChannel(4).Error, -3);
}

TEST(ChannelTable, NullArraysNeitherCrashNorInventSettings) {
  Settings settings;
  settings.Store();
  DisplayTable_StoreSettings(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  for (int n = 1; n <= 20; ++n) {
    DisplayChannel channel = GetDisplayChannel(n);
    EXPECT_EQ(channel.Flags, 0);
    EXPECT_STREQ(channel.Unit, "");
    EXPECT_EQ(channel.NomSize, 0.0);
  }
  double values[21] = {0, 7.5};
  DisplayTable_StoreValues(values, nullptr);
  DisplayTable_StoreValues(nullptr, nullptr);
  EXPECT_EQ(GetDisplayChannel(1).Value, 7.5);
  EXPECT_EQ(GetDisplayChannel(1).Error, 0);
}

TEST(ChannelTable, NumbersOutsideOneToTwentyAreNotInUse) {
  Settings settings;
  settings.Store();
  EXPECT_EQ(GetDisplayChannel(0).Flags, 0);
  EXPECT_EQ(GetDisplayChannel(21).Flags, 0);
  EXPECT_EQ(GetDisplayChannel(-1).Flags, 0);
}

}  // namespace
