// The readout window's channel table: 20 channels, numbered 1 to 20 like the
// elements of the callers' arrays. All zero at load, so no channel is in use
// before the window is first opened.
#pragma once
#include <cstdint>

constexpr int kDisplayChannelCount = 20;
// Characters of one channel's unit in the callers' side-by-side unit text.
constexpr int kDisplayUnitLength = 20;

struct DisplayChannel {
  int16_t Flags;    // 1 = in use; any other value = not in use
  int16_t Device;   // shown in the device label
  int16_t Address;  // shown in the device label
  char Unit[25];    // at most 20 characters, always terminated
  double NomSize;
  double USL;  // upper tolerance, as a deviation from NomSize
  double LSL;  // lower tolerance, as a deviation from NomSize
  int16_t Resolu;  // decimals shown
  double Value;    // latest measured value (absolute, not a deviation)
  int16_t Error;   // 0 = Value is valid
};

// All fields of channel n (1 to 20); any other n gives a channel not in use.
DisplayChannel GetDisplayChannel(int n);

// Copies the settings of channels 1 to 20 from element n of each array
// (element 0 is never read) and resets Value and Error. `units` holds the 20
// unit texts side by side, 20 characters each, taken whatever they are. A null
// array or text leaves its fields 0 (empty), so a macro that passes nothing
// gets no channel in use rather than a crash.
void DisplayTable_StoreSettings(const int16_t* flags, const int16_t* devices, const int16_t* addresses,
                                const char* units, const double* nomSizes, const double* usls, const double* lsls,
                                const int16_t* resolus);

// Takes the new Value and Error of all 20 channels, in use or not, from
// elements 1 to 20. A null array leaves its fields as they were.
void DisplayTable_StoreValues(const double* values, const int16_t* errors);
