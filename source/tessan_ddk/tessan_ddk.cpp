// Stand-in for the maker's driver kit: a few simulated gauges that give
// reproducible readings (a seeded normal distribution around a nominal size
// per address). The gauge list can be replaced by a small text file named by
// the environment variable TESSAN_SIM_CONFIG:
//   seed 12345
//   name 1 Bench caliper
//   gauge 1 1 25.000 0.010      (device, address, nominal size, standard deviation)
// When the environment variable TESSAN_SIM_TRACE names a file, every call's
// record (the text Sim_GetLastCall gives) is also appended to it as one line,
// so that tests can see what reached a kit loaded in another process.
#include "tessan_ddk.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

enum Status : int32_t {
  kOk = 0,
  kNotInitialised = -1,
  kUnknownDevice = -2,
  kUnknownAddress = -3,
  kNothingTriggered = -4,
  kUnknownLanguage = -5,
  kBadPointer = -6,
};

// Whether `bytes` bytes at `at` are committed memory this process may write.
// A null pointer counts as writable: the kit skips it, as it always has. A
// pointer that is neither (freed, read-only, a small number passed by
// mistake) makes the call answer kBadPointer before it changes anything.
bool Writable(const void* at, size_t bytes) {
  if (!at) return true;
  const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  auto from = reinterpret_cast<uintptr_t>(at);
  uintptr_t end = from + bytes;
  if (end < from) return false;
  while (from < end) {
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(reinterpret_cast<const void*>(from), &region, sizeof region) != sizeof region) return false;
    if (region.State != MEM_COMMIT || !(region.Protect & writable) || (region.Protect & PAGE_GUARD)) return false;
    from = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
  }
  return true;
}

// Languages of the kit's own dialogs and names: 0 German, 1 English, 2 French.
bool LanguageKnown(uint32_t language) { return language <= 2; }

struct Gauge {
  uint32_t device;
  uint32_t address;
  double nominal;
  double sigma;
  uint64_t state;  // random stream of this address, restarted by Device_Init
};

struct Kit {
  uint64_t seed = 20261208;
  std::vector<std::string> names;  // index = device number
  std::vector<Gauge> gauges;
  bool initialised = false;
  std::deque<const Gauge*> triggered;
  char lastCall[256] = "";
};

void AddGauge(Kit& kit, uint32_t device, uint32_t address, double nominal, double sigma) {
  kit.gauges.push_back({device, address, nominal, sigma, 0});
  if (kit.names.size() <= device) kit.names.resize(device + 1);
}

void SetName(Kit& kit, uint32_t device, const std::string& name) {
  if (kit.names.size() <= device) kit.names.resize(device + 1);
  kit.names[device] = name;
}

void LoadDefaults(Kit& kit) {
  const char* defaultNames[] = {"TESSAN Caliper C150", "TESSAN Micrometer M25", "TESSAN Dial Indicator D10",
                                "TESSAN Height Gauge H300"};
  for (uint32_t address = 1; address <= 4; ++address) AddGauge(kit, 1, address, 25.0 + 5.0 * (address - 1), 0.010);
  for (uint32_t address = 1; address <= 4; ++address) AddGauge(kit, 2, address, 12.5, 0.002);
  for (uint32_t address = 1; address <= 8; ++address) AddGauge(kit, 3, address, 0.0, 0.005);
  for (uint32_t address = 1; address <= 2; ++address) AddGauge(kit, 4, address, 100.0, 0.020);
  for (uint32_t device = 1; device <= 4; ++device) SetName(kit, device, defaultNames[device - 1]);
}

void LoadConfig(Kit& kit, const char* path) {
  FILE* file = std::fopen(path, "r");
  if (!file) return;
  Kit configured;
  char line[512];
  while (std::fgets(line, sizeof line, file)) {
    char word[16];
    int used = 0;
    if (std::sscanf(line, "%15s %n", word, &used) != 1) continue;
    unsigned device = 0, address = 0;
    double nominal = 0, sigma = 0;
    unsigned long long seed = 0;
    if (!std::strcmp(word, "seed") && std::sscanf(line + used, "%llu", &seed) == 1) {
      configured.seed = seed;
    } else if (!std::strcmp(word, "gauge") &&
               std::sscanf(line + used, "%u %u %lf %lf", &device, &address, &nominal, &sigma) == 4 &&
               device > 0 && device < 1000) {
      AddGauge(configured, device, address, nominal, sigma);
    } else if (int rest = 0; !std::strcmp(word, "name") && std::sscanf(line + used, "%u %n", &device, &rest) == 1 &&
               device > 0 && device < 1000) {
      std::string name = line + used + rest;
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      SetName(configured, device, name);
    }
  }
  std::fclose(file);
  if (configured.gauges.empty()) {
    kit.seed = configured.seed;
    return;
  }
  for (size_t device = 1; device < configured.names.size(); ++device)
    if (configured.names[device].empty()) configured.names[device] = "TESSAN Gauge " + std::to_string(device);
  kit = configured;
}

Kit& TheKit() {
  static Kit kit = [] {
    Kit made;
    LoadDefaults(made);
    if (const char* path = std::getenv("TESSAN_SIM_CONFIG")) LoadConfig(made, path);
    return made;
  }();
  return kit;
}

// splitmix64: a small generator whose streams are fully determined by their seed.
uint64_t NextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double NextReading(Gauge& gauge) {
  // Box-Muller from two uniform values in (0, 1); readings have a resolution of 0.0001.
  double u1 = (static_cast<double>(NextRandom(gauge.state) >> 11) + 0.5) / 9007199254740992.0;
  double u2 = (static_cast<double>(NextRandom(gauge.state) >> 11) + 0.5) / 9007199254740992.0;
  double normal = std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  return std::round((gauge.nominal + gauge.sigma * normal) * 10000.0) / 10000.0;
}

bool DeviceKnown(const Kit& kit, uint32_t device) {
  return device < kit.names.size() && !kit.names[device].empty();
}

Gauge* FindGauge(Kit& kit, uint32_t device, uint32_t address) {
  for (Gauge& gauge : kit.gauges)
    if (gauge.device == device && gauge.address == address) return &gauge;
  return nullptr;
}

void Record(const char* name, std::initializer_list<uint32_t> arguments) {
  Kit& kit = TheKit();
  int length = std::snprintf(kit.lastCall, sizeof kit.lastCall, "%s", name);
  for (uint32_t argument : arguments)
    length += std::snprintf(kit.lastCall + length, sizeof kit.lastCall - length, " %lu",
                            static_cast<unsigned long>(argument));
  if (const char* tracePath = std::getenv("TESSAN_SIM_TRACE")) {
    if (FILE* trace = std::fopen(tracePath, "a")) {
      std::fprintf(trace, "%s\n", kit.lastCall);
      std::fclose(trace);
    }
  }
}

}  // namespace

extern "C" {

int32_t TESSAN_CALL Device_PreInit(uint32_t InitTimes, uint32_t UseValueEx, uint32_t Reserve1, uint32_t Reserve2,
                                   uint32_t Reserve3, uint32_t Reserve4, uint32_t Reserve5) {
  Record("Device_PreInit", {InitTimes, UseValueEx, Reserve1, Reserve2, Reserve3, Reserve4, Reserve5});
  return kOk;
}

int32_t TESSAN_CALL Device_Setup(uint32_t language, const char*, int32_t parent, const char*) {
  Record("Device_Setup", {language, static_cast<uint32_t>(parent)});
  return LanguageKnown(language) ? kOk : kUnknownLanguage;
}

int32_t TESSAN_CALL Device_Init(uint32_t language, const char*, void* parent, int32_t wh) {
  Record("Device_Init", {language, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(parent)), static_cast<uint32_t>(wh)});
  if (!LanguageKnown(language)) return kUnknownLanguage;
  Kit& kit = TheKit();
  kit.initialised = true;
  kit.triggered.clear();
  for (Gauge& gauge : kit.gauges) gauge.state = kit.seed ^ (uint64_t{gauge.device} << 32) ^ gauge.address;
  return kOk;
}

int32_t TESSAN_CALL Device_DeInit(void) {
  Record("Device_DeInit", {});
  Kit& kit = TheKit();
  if (!kit.initialised) return kNotInitialised;
  kit.initialised = false;
  kit.triggered.clear();
  return kOk;
}

int32_t TESSAN_CALL Device_GetName(uint32_t language, const char*, uint32_t devicenr, uint32_t typ, uint32_t output,
                                   char* info) {
  Record("Device_GetName", {language, devicenr, typ, output});
  Kit& kit = TheKit();
  if (!DeviceKnown(kit, devicenr)) return kUnknownDevice;
  if (!Writable(info, kit.names[devicenr].size() + 1)) return kBadPointer;
  if (info) std::strcpy(info, kit.names[devicenr].c_str());
  return kOk;
}

// Trigger a reading of one address (source = address) or of every address of the device (source 0);
// Device_Collect hands the readings out one by one.
int32_t TESSAN_CALL Device_Trigger(uint32_t devicenr, uint32_t source, uint32_t typ) {
  Record("Device_Trigger", {devicenr, source, typ});
  Kit& kit = TheKit();
  if (!kit.initialised) return kNotInitialised;
  if (!DeviceKnown(kit, devicenr)) return kUnknownDevice;
  size_t before = kit.triggered.size();
  for (const Gauge& gauge : kit.gauges)
    if (gauge.device == devicenr && (source == 0 || gauge.address == source)) kit.triggered.push_back(&gauge);
  return kit.triggered.size() > before ? kOk : kUnknownAddress;
}

int32_t TESSAN_CALL Device_Value(uint32_t devicenr, uint32_t Address, double* Val1) {
  Record("Device_Value", {devicenr, Address});
  Kit& kit = TheKit();
  if (!kit.initialised) return kNotInitialised;
  if (!DeviceKnown(kit, devicenr)) return kUnknownDevice;
  Gauge* gauge = FindGauge(kit, devicenr, Address);
  if (!gauge) return kUnknownAddress;
  if (!Writable(Val1, sizeof *Val1)) return kBadPointer;
  double reading = NextReading(*gauge);
  if (Val1) *Val1 = reading;
  return kOk;
}

// Returns the address whose reading it stored (a positive number), or a negative status.
int32_t TESSAN_CALL Device_Collect(uint32_t devicenr, int16_t* Address, double* Val1) {
  Record("Device_Collect", {devicenr});
  Kit& kit = TheKit();
  if (!kit.initialised) return kNotInitialised;
  if (!DeviceKnown(kit, devicenr)) return kUnknownDevice;
  if (!Writable(Address, sizeof *Address) || !Writable(Val1, sizeof *Val1)) return kBadPointer;
  for (auto it = kit.triggered.begin(); it != kit.triggered.end(); ++it) {
    if ((*it)->device != devicenr) continue;
    Gauge& gauge = *FindGauge(kit, devicenr, (*it)->address);
    kit.triggered.erase(it);
    double reading = NextReading(gauge);
    if (Address) *Address = static_cast<int16_t>(gauge.address);
    if (Val1) *Val1 = reading;
    return static_cast<int32_t>(gauge.address);
  }
  return kNothingTriggered;
}

int32_t TESSAN_CALL Device_Win_MechAdj(uint32_t gagenr, int32_t parent, const char*) {
  Record("Device_Win_MechAdj", {gagenr, static_cast<uint32_t>(parent)});
  Kit& kit = TheKit();
  if (!kit.initialised) return kNotInitialised;
  return DeviceKnown(kit, gagenr) ? kOk : kUnknownDevice;
}

// Register 0 holds the number of devices; register d (a device number) the number of its addresses.
int32_t TESSAN_CALL Device_GetInt(int32_t addr, int16_t* variable) {
  Record("Device_GetInt", {static_cast<uint32_t>(addr)});
  Kit& kit = TheKit();
  int count = -1;
  if (addr == 0) {
    count = 0;
    for (size_t device = 1; device < kit.names.size(); ++device) count += DeviceKnown(kit, device) ? 1 : 0;
  } else if (addr > 0 && DeviceKnown(kit, static_cast<uint32_t>(addr))) {
    count = 0;
    for (const Gauge& gauge : kit.gauges) count += gauge.device == static_cast<uint32_t>(addr) ? 1 : 0;
  }
  if (count < 0) return kUnknownAddress;
  if (!Writable(variable, sizeof *variable)) return kBadPointer;
  if (variable) *variable = static_cast<int16_t>(count);
  return kOk;
}

int32_t TESSAN_CALL Sim_GetLastCall(char* buffer, int32_t size) {
  if (!buffer || size <= 0 || !Writable(buffer, static_cast<size_t>(size))) return 0;
  int32_t length = static_cast<int32_t>(std::strlen(TheKit().lastCall));
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, TheKit().lastCall, length);
  buffer[length] = '\0';
  return length;
}

}  // extern "C"
