// The measuring exports through the real MERIDAN.dll, with the stand-in kit
// behind it reporting exactly what arrived.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "meridan_api.h"
#include "tessan_ddk.h"
#include "win_test_support.h"

namespace {

std::string LastKitCall() {
  char text[256];
  Sim_GetLastCall(text, sizeof text);
  return text;
}

class Measuring : public testing::Test {
 protected:
  void SetUp() override {
    int16_t reserved = 1;
    ASSERT_EQ(MERIDAN_Init(&reserved, 1, "", nullptr, 0), 0);
  }
  void TearDown() override { MERIDAN_DeInit(); }
};

TEST_F(Measuring, SixteenBitArgumentsReachTheKitZeroExtended) {
  MERIDAN_Trigger(static_cast<uint32_t>(-1), 65538, 7);
  EXPECT_EQ(LastKitCall(), "Device_Trigger 65535 2 7");
  double value = 0;
  MERIDAN_Value(0x00010001, 0xFFFF0003, &value);
  EXPECT_EQ(LastKitCall(), "Device_Value 1 3");
  MERIDAN_PreInit(1, 2, 3, 4, 0x7FFF0005, static_cast<uint32_t>(-1), 65536);
  EXPECT_EQ(LastKitCall(), "Device_PreInit 1 2 3 4 5 65535 0");
  char name[64] = "";
  MERIDAN_GetName(65537, "", 65538, 0x10003, static_cast<uint32_t>(-2), name);
  EXPECT_EQ(LastKitCall(), "Device_GetName 1 2 3 65534");
  int16_t address = 0;
  MERIDAN_Collect(0x20004, &address, &value);
  EXPECT_EQ(LastKitCall(), "Device_Collect 4");
  MERIDAN_Win_MechAdj(0x10002, -5, "");
  EXPECT_EQ(LastKitCall(), "Device_Win_MechAdj 2 4294967291");
}

TEST_F(Measuring, ThirtyTwoBitArgumentsReachTheKitInFull) {
  int16_t variable = 0;
  MERIDAN_GetInt(0x12345678, &variable);
  EXPECT_EQ(LastKitCall(), "Device_GetInt 305419896");
  int16_t reserved = 5;
  MERIDAN_Setup(&reserved, 0x10001, "", -1, "");
  EXPECT_EQ(LastKitCall(), "Device_Setup 1 4294967295");
  MERIDAN_Init(&reserved, 2, "", reinterpret_cast<HWND>(0x1234), 70000);
  EXPECT_EQ(LastKitCall(), "Device_Init 2 4660 70000");
}

TEST_F(Measuring, ReservedIsZeroEvenWhenTheKitFails) {
  int16_t reserved = 99;
  EXPECT_EQ(MERIDAN_Setup(&reserved, 9, "", 0, ""), -5);  // language 9 is unknown to the kit
  EXPECT_EQ(reserved, 0);
  reserved = -1;
  EXPECT_EQ(MERIDAN_Init(&reserved, 9, "", nullptr, 0), -5);
  EXPECT_EQ(reserved, 0);
  reserved = 7;
  EXPECT_EQ(MERIDAN_Setup(&reserved, 0, "", 0, ""), 0);
  EXPECT_EQ(reserved, 0);
}

TEST_F(Measuring, NullReservedDoesNotCrash) {
  EXPECT_EQ(MERIDAN_Setup(nullptr, 0, "", 0, ""), 0);
  EXPECT_EQ(MERIDAN_Init(nullptr, 0, "", nullptr, 0), 0);
}

TEST_F(Measuring, ValuesAndStatusesComeBackUnchanged) {
  double first = 0, second = 0;
  ASSERT_EQ(MERIDAN_Value(1, 1, &first), 0);
  ASSERT_EQ(MERIDAN_Value(1, 1, &second), 0);
  EXPECT_NEAR(first, 25.0, 0.1);  // simulated caliper at address 1: 25 mm, sigma 0.01
  EXPECT_NE(first, second);
  // The kit's readings are reproducible: a new Init restarts every address.
  int16_t reserved;
  MERIDAN_Init(&reserved, 1, "", nullptr, 0);
  double again = 0;
  MERIDAN_Value(1, 1, &again);
  EXPECT_EQ(again, first);

  double untouched = -7.5;
  EXPECT_EQ(MERIDAN_Value(99, 1, &untouched), -2);
  EXPECT_EQ(MERIDAN_Value(1, 99, &untouched), -3);
  EXPECT_EQ(untouched, -7.5);
  int16_t address = 0;
  EXPECT_EQ(MERIDAN_Collect(2, &address, &untouched), -4);  // nothing triggered
  EXPECT_EQ(MERIDAN_Trigger(2, 3, 0), 0);
  double collected = 0;
  EXPECT_EQ(MERIDAN_Collect(2, &address, &collected), 3);  // the kit answers with the address read
  EXPECT_EQ(address, 3);
  EXPECT_NEAR(collected, 12.5, 0.05);
  char name[64] = "";
  EXPECT_EQ(MERIDAN_GetName(1, "", 2, 0, 0, name), 0);
  EXPECT_STREQ(name, "TESSAN Micrometer M25");
  int16_t devices = 0;
  EXPECT_EQ(MERIDAN_GetInt(0, &devices), 0);
  EXPECT_EQ(devices, 4);
  EXPECT_EQ(MERIDAN_DeInit(), 0);
  EXPECT_EQ(MERIDAN_DeInit(), -1);  // out of order: the kit's status, handed back as it is
  EXPECT_EQ(MERIDAN_Value(1, 1, &untouched), -1);
}

}  // namespace
