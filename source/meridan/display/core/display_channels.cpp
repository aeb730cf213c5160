#include "display/core/display_channels.h"

#include <cstring>

// Index 0 is unused so that channel n is element n, as in the callers' arrays.
static DisplayChannel channels[kDisplayChannelCount + 1];

DisplayChannel GetDisplayChannel(int n) {
  if (n < 1 || n > kDisplayChannelCount) return DisplayChannel{};
  return channels[n];
}

template <typename T>
static T ElementOrZero(const T* array, int n) {
  return array ? array[n] : T{};
}

void DisplayTable_StoreSettings(const int16_t* flags, const int16_t* devices, const int16_t* addresses,
                                const char* units, const double* nomSizes, const double* usls, const double* lsls,
                                const int16_t* resolus) {
  for (int n = 1; n <= kDisplayChannelCount; ++n) {
    DisplayChannel& channel = channels[n];
    channel.Value = 0.0;
    channel.Error = 0;
    channel.Flags = ElementOrZero(flags, n);
    channel.Device = ElementOrZero(devices, n);
    channel.Address = ElementOrZero(addresses, n);
    std::memset(channel.Unit, 0, sizeof channel.Unit);
    if (units) std::memcpy(channel.Unit, units + kDisplayUnitLength * (n - 1), kDisplayUnitLength);
    channel.NomSize = ElementOrZero(nomSizes, n);
    channel.USL = ElementOrZero(usls, n);
    channel.LSL = ElementOrZero(lsls, n);
    channel.Resolu = ElementOrZero(resolus, n);
  }
}

void DisplayTable_StoreValues(const double* values, const int16_t* errors) {
  for (int n = 1; n <= kDisplayChannelCount; ++n) {
    if (values) channels[n].Value = values[n];
    if (errors) channels[n].Error = errors[n];
  }
}
