// What the tests of the SPC drawing routines share: a few colours, handle
// slots with a guard area behind them, and the fixture that keeps the page
// scale at 1 and deletes the objects a test makes.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "spc/core/draw_math.h"
#include "spc_page_support.h"

namespace drawtest {

using namespace spctest;

const COLORREF kBack = kPlotBack;
const COLORREF kOrange = RGB(255, 128, 0);
const COLORREF kPurple = RGB(128, 0, 128);

// Handle slots with a guard area behind them that no routine may touch.
struct Slots {
  static constexpr int kGuard = 8;
  HGDIOBJ slot[40];
  explicit Slots(int used) : used_(used) {
    for (HGDIOBJ& h : slot) h = nullptr;
    for (int i = used; i < used + kGuard; ++i) slot[i] = reinterpret_cast<HGDIOBJ>(0x5A5A);
  }
  ~Slots() {
    for (int i = 0; i < used_; ++i)
      if (slot[i]) DeleteObject(slot[i]);
  }
  bool GuardIntact() const {
    for (int i = used_; i < used_ + kGuard; ++i)
      if (slot[i] != reinterpret_cast<HGDIOBJ>(0x5A5A)) return false;
    return true;
  }
  int used_;
};

class SpcDraw : public testing::Test {
 protected:
  void SetUp() override { SPC_SetScale(1.0); }
  void TearDown() override {
    for (HGDIOBJ object : kept_) DeleteObject(object);
    SPC_SetScale(1.0);
  }
  // A pen, brush, font or bitmap the test makes, deleted when it ends.
  template <typename Object>
  Object Kept(Object object) {
    kept_.push_back(object);
    return object;
  }
  std::vector<HGDIOBJ> kept_;
  HPEN penA = Kept(CreatePen(PS_SOLID, 1, kBlack)), penB = Kept(CreatePen(PS_SOLID, 1, kWhite));
};

}  // namespace drawtest
