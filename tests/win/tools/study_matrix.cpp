// The capability study of a fixed matrix of requests: one line per figure
// with its bit pattern in hex, and one line per capability page with a hash
// of the file's bytes. Two builds of the library that print the same lines
// give the same figures bit for bit and the same pages byte for byte.
// Usage: study_matrix <folder for the pages> [pages|figures|all]
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// One headline for every page. With the request's name as headline, 32-bit
// and 64-bit Wine drew one edge pixel of a title glyph differently (the "o"
// of "norm" in the bold font at factor 1.5: Wine's own font rasterisers
// anti-alias it apart, the library hands both the same text and rectangle).
constexpr char kHeadline[] = "Capability study";

uint64_t Fnv1a(const void* data, size_t size, uint64_t hash = 1469598103934665603ull) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Readings made with integer arithmetic and + - * / only, so every build sees
// the same doubles: a sum of twelve uniform numbers (nearly normal), or its
// square (positive and skewed to the right, as a runout).
std::vector<double> Readings(int count, uint32_t seed, bool skewed) {
  std::vector<double> values(1, kNaN);  // element 0 is never read
  uint32_t state = seed * 2654435761u + 12345u;
  for (int i = 0; i < count; ++i) {
    int64_t sum = 0;
    for (int j = 0; j < 12; ++j) {
      state = state * 1664525u + 1013904223u;
      sum += state >> 8;
    }
    double unit = (static_cast<double>(sum) - 6.0 * 16777216.0) / 16777216.0;  // about N(0, 1)
    double value = skewed ? 0.004 * (0.05 + unit * unit) : 10.0 + 0.03 * unit;
    values.push_back(static_cast<double>(static_cast<int64_t>(value * 1e6)) / 1e6);
  }
  return values;
}

struct Request {
  int distribution;
  uint32_t norm;
  int32_t sampleSize;
  int count;
  bool skewed;
  int limits;  // 0 both, 1 USL only, 2 LSL only
  double level;
  double lambda;
};

std::string Name(const Request& r) {
  char text[160];
  std::snprintf(text, sizeof text, "dist%d_norm%u_m%d_n%d_%s_lim%d_level%g_lambda%g", r.distribution, r.norm,
                r.sampleSize, r.count, r.skewed ? "skewed" : "normal", r.limits, r.level, r.lambda);
  return text;
}

struct Limits {
  double nom, usl, lsl;
};

Limits LimitsOf(const Request& r) { return r.skewed ? Limits{0.0, 0.03, 0.0} : Limits{10.0, 10.1, 9.9}; }

std::vector<Request> FigureMatrix() {
  std::vector<Request> list;
  const int32_t groups[] = {1, 2, 5, 10};
  const int counts[] = {9, 125};
  for (int distribution = 0; distribution <= 4; ++distribution)
    for (uint32_t norm = 0; norm < 4; ++norm)
      for (int32_t m : groups)
        for (int count : counts)
          for (bool skewed : {false, true})
            for (int limits = 0; limits < 3; ++limits)
              list.push_back({distribution, norm, m, count, skewed, limits, kNaN, kNaN});
  for (double level : {0.9, 0.99, 0.6})
    for (int distribution = 0; distribution <= 4; ++distribution)
      list.push_back({distribution, 1, 5, 60, true, 0, level, kNaN});
  for (double lambda : {-5.0, -1.0, 0.0, 0.5, 2.0, 5.0}) list.push_back({3, 3, 5, 60, true, 1, kNaN, lambda});
  return list;
}

struct Page {
  Request request;
  int width, height;
  double factor;
};

std::vector<Page> PageMatrix() {
  std::vector<Page> list;
  for (int distribution = 0; distribution <= 4; ++distribution)
    for (bool skewed : {false, true}) {
      list.push_back({{distribution, 3, 5, 125, skewed, skewed ? 1 : 0, kNaN, kNaN}, 800, 600, 1.0});
      list.push_back({{distribution, 1, 1, 60, skewed, 0, 0.9, kNaN}, 800, 600, 2.0});
    }
  list.push_back({{0, 2, 4, 100, false, 2, kNaN, kNaN}, 1600, 1200, 1.0});
  list.push_back({{2, 0, 1, 200, true, 1, kNaN, kNaN}, 333, 251, 1.5});
  return list;
}

std::vector<double> OptionsOf(const Request& r) {
  return {kNaN, kNaN, r.level, static_cast<double>(r.distribution), r.lambda};
}

std::vector<char> ReadFile(const std::string& path) {
  std::vector<char> bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : ".";
  std::string which = argc > 2 ? argv[2] : "all";
  int index = 0;
  if (which == "all" || which == "figures") {
    for (const Request& r : FigureMatrix()) {
      std::vector<double> values = Readings(r.count, 1000 + index++, r.skewed);
      std::vector<double> options = OptionsOf(r);
      const Limits l = LimitsOf(r);
      double figures[56];
      std::memset(figures, 0xA5, sizeof figures);
      int32_t result = Create_CapabilityStatistics(values.data(), r.count, r.sampleSize, r.norm, l.nom, l.usl, l.lsl,
                                                   r.limits != 2, r.limits != 1, options.data(), 4, figures, 55);
      std::printf("figures %s result %d\n", Name(r).c_str(), result);
      for (int i = 1; i <= 55; ++i)
        std::printf("figures %s %2d %016llx\n", Name(r).c_str(), i, static_cast<unsigned long long>(Bits(figures[i])));
    }
  }
  if (which == "all" || which == "pages") {
    for (const Page& p : PageMatrix()) {
      const Request& r = p.request;
      std::vector<double> values = Readings(r.count, 7 + index++, r.skewed);
      std::vector<double> options = OptionsOf(r);
      const Limits l = LimitsOf(r);
      char size[64];
      std::snprintf(size, sizeof size, "_%dx%d_f%g", p.width, p.height, p.factor);
      const std::string name = Name(r) + size;
      std::string path = folder + "\\" + name + ".bmp";
      std::remove(path.c_str());
      int32_t result = Create_CapabilityBitmap(nullptr, path.c_str(), p.width, p.height, p.factor, kHeadline,
                                               values.data(), r.count, r.sampleSize, r.norm, l.nom, l.usl, l.lsl,
                                               r.limits != 2, r.limits != 1, options.data(), 4);
      std::vector<char> bytes = ReadFile(path);
      std::printf("page %s result %d bytes %zu hash %016llx\n", name.c_str(), result, bytes.size(),
                  static_cast<unsigned long long>(Fnv1a(bytes.data(), bytes.size())));
    }
  }
  return 0;
}
