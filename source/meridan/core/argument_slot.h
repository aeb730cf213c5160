// 16-bit arguments of the exports travel in 32-bit slots of which only the
// low half counts: a macro's -1 arrives as 0xFFFF or as 0xFFFFFFFF alike, and
// a slot of 65538 (high half 1, low half 2) means 2.
#pragma once
#include <cstdint>

// The low half of an argument slot (zero-extended when it is passed on).
constexpr uint16_t Low16(uint32_t slot) { return static_cast<uint16_t>(slot & 0xFFFFu); }

// The low half read as a signed 16-bit value, for arguments compared with 0.
constexpr int16_t Low16Signed(uint32_t slot) { return static_cast<int16_t>(Low16(slot)); }
