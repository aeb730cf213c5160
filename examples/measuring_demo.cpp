// Demo client of the measuring exports, as a macro would use them: set the kit
// up, initialise it, name two gauges, read a series of values from each and
// collect a triggered reading, then close the kit.
#include <cstdio>

#include "meridan_api.h"

namespace {

void Check(const char* call, int32_t status) {
  if (status < 0) std::printf("  %s answered status %d\n", call, static_cast<int16_t>(status));
}

}  // namespace

int main() {
  int16_t reserved = -1;
  Check("MERIDAN_PreInit", MERIDAN_PreInit(1, 0, 0, 0, 0, 0, 0));
  Check("MERIDAN_Init", MERIDAN_Init(&reserved, 1, "", nullptr, 0));
  const uint32_t devices[] = {1, 2};
  for (uint32_t device : devices) {
    char name[64] = "";
    Check("MERIDAN_GetName", MERIDAN_GetName(1, "", device, 0, 0, name));
    std::printf("device %u: %s\n", device, name);
  }
  std::printf("%-8s %12s %12s\n", "reading", "device 1.1", "device 2.1");
  for (int reading = 1; reading <= 10; ++reading) {
    double caliper = 0, micrometer = 0;
    Check("MERIDAN_Value", MERIDAN_Value(1, 1, &caliper));
    Check("MERIDAN_Value", MERIDAN_Value(2, 1, &micrometer));
    std::printf("%-8d %12.4f %12.4f\n", reading, caliper, micrometer);
  }
  Check("MERIDAN_Trigger", MERIDAN_Trigger(2, 0, 0));
  int16_t address = 0;
  double value = 0;
  for (int32_t status; (status = MERIDAN_Collect(2, &address, &value)) > 0;)
    std::printf("collected from device 2, address %d: %.4f\n", address, value);
  Check("MERIDAN_DeInit", MERIDAN_DeInit());
  std::printf("spreadsheet hosts running: %d\n", static_cast<int16_t>(MERIDAN_IsExcelStarted(0)));
  return 0;
}
