// Shared by the fuzz targets: reading typed fields from the fuzzer's bytes,
// doubles of every class, and the check that stops a run on a broken property.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "spc/core/spc_table.h"

// A property that must hold for every input: a violation aborts, so libFuzzer
// keeps the input as a finding.
#define FUZZ_CHECK(condition, ...)                                                   \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "property failed at %s:%d: %s\n  ", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                             \
      std::fprintf(stderr, "\n");                                                    \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

namespace fuzz {

// Reads fields front to back; past the end every field reads 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Left() const { return size_ - at_; }
  const uint8_t* Rest() const { return data_ + at_; }

  // Little-endian: the low part comes first (each read is a statement of its own, so the order is fixed).
  uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t U16() {
    uint16_t low = U8();
    return static_cast<uint16_t>(low | (U8() << 8));
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    uint32_t low = U16();
    return low | (uint32_t{U16()} << 16);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64() {
    uint64_t low = U32();
    return low | (uint64_t{U32()} << 32);
  }
  double RawDouble() {
    uint64_t bits = U64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // A double of any class, the awkward ones often: NaN, infinities, denormals,
  // the extremes, zeros of both signs, small whole numbers, shop-floor sizes
  // and any bit pattern.
  double Double() {
    uint8_t kind = U8();
    switch (kind % 16) {
      case 0: return std::numeric_limits<double>::quiet_NaN();
      case 1: return (kind & 16) ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
      case 2: return (kind & 16 ? -1 : 1) * std::numeric_limits<double>::denorm_min() * (1 + U8());
      case 3: return (kind & 16) ? -1e308 : 1e308;
      case 4: return (kind & 16) ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
      case 5: return (kind & 16) ? -0.0 : 0.0;
      case 6: return static_cast<double>(I16());
      case 7: return 10.0 + I16() / 1000.0;  // around a nominal size of 10
      case 8: return I32() / 1e6;
      case 9: return std::ldexp(1.0 + U16() / 65536.0, static_cast<int8_t>(U8()) * 4) * (kind & 16 ? -1 : 1);
      default: return RawDouble();
    }
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

inline bool Finite(double x) { return std::isfinite(x); }

// The constants table the library ships, parsed once.
inline void LoadShippedTable() {
  static bool loaded = false;
  if (loaded) return;
  FILE* file = std::fopen(MERIDAN_DATA_DIR "/TESSAN_SPC.TAB", "rb");
  std::string text;
  char buffer[4096];
  for (size_t got; file && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
  if (file) std::fclose(file);
  if (text.empty()) {
    std::fprintf(stderr, "cannot read " MERIDAN_DATA_DIR "/TESSAN_SPC.TAB\n");
    std::abort();
  }
  SPC_ParseTable(text.data(), text.size());
  loaded = true;
}

}  // namespace fuzz
