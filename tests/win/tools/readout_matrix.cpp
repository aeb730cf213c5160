// Opens the readout window for a fixed matrix of channel settings and values
// and prints every text it shows (device label, caption, readout), one line
// per row. Two builds of the library that print the same lines show the same
// texts. Usage: readout_matrix
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "meridan_api.h"

namespace {

// Label, caption and readout of channel n are the texts of controls 10 + n, 30 + n and 70 + n.
void PrintRow(HWND window, int batch, int n) {
  char label[256] = "", caption[256] = "", reading[256] = "";
  GetDlgItemTextA(window, 10 + n, label, sizeof label);
  GetDlgItemTextA(window, 30 + n, caption, sizeof caption);
  GetDlgItemTextA(window, 70 + n, reading, sizeof reading);
  std::printf("batch %d row %d label [%s] caption [%s] readout [%s]\n", batch, n, label, caption, reading);
}

// Nominal sizes, tolerances and readings of very different sizes and signs, up
// to numbers too long for a text; every resolution the caller may pass.
const double kNominal[] = {0.0, 25.0, -12.5, 1234.56789, 1e-7, 1e15, 3.999999, 100.0};
const double kSpread[] = {0.02, 0.5, 0.0001, 7.25, 1e6, 1e65};
const double kOffset[] = {0.0, 0.0123456, -0.987654, 1e-9, 0.00049999, 12345.678, 1e70};
const int16_t kResolution[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 32767};

}  // namespace

int main() {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (int batch = 0; batch < 12; ++batch) {
    int16_t flags[21] = {}, devices[21] = {}, addresses[21] = {}, resolutions[21] = {}, errors[21] = {};
    double nominal[21] = {}, upper[21] = {}, lower[21] = {}, values[21] = {};
    char units[401];
    std::memset(units, ' ', 400);
    units[400] = 0;
    for (int n = 1; n <= 20; ++n) {
      int k = batch * 20 + n;
      flags[n] = 1;
      devices[n] = static_cast<int16_t>(k % 5 == 0 ? -k : k % 9);
      addresses[n] = static_cast<int16_t>(k * 37 % 70000 - 32768);
      resolutions[n] = kResolution[k % 10];
      nominal[n] = kNominal[k % 8];
      upper[n] = kSpread[k % 6];
      lower[n] = -kSpread[(k / 6) % 6] * 0.5;
      values[n] = nominal[n] + kOffset[k % 7] * (k % 2 ? 1 : -1);
      if (k % 23 == 0) values[n] = nan;
      if (k % 29 == 0) values[n] = -inf;
      errors[n] = static_cast<int16_t>(k % 17 == 0);
      const char* unit = k % 3 == 0 ? "mm" : k % 3 == 1 ? "\xb5m" : "abcdefghijklmnopqrstuvwxyz";
      std::memcpy(units + 20 * (n - 1), unit, std::strlen(unit) < 20 ? std::strlen(unit) + 1 : 20);
    }
    char headline[32];
    std::snprintf(headline, sizeof headline, "Readout matrix %d", batch);
    Display_Init(nullptr, headline, flags, devices, addresses, units, nominal, upper, lower, resolutions);
    Display_ShowValues(values, errors);
    HWND window = FindWindowA(nullptr, headline);
    if (!window) {
      std::printf("batch %d no window\n", batch);
      return 1;
    }
    for (int n = 1; n <= 20; ++n) PrintRow(window, batch, n);
    Display_DeInit();
  }
  return 0;
}
