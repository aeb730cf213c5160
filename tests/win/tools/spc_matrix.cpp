// Writes the SPC pages and figures of a fixed matrix of chart requests and
// prints one line per request with a hash of what came back: the page file's
// bytes, the bits of the 48 figures, or the bits of every figure of the
// further control charts. Two builds of the library that print the same lines
// give the same pages byte for byte and the same figures bit for bit.
// Usage: spc_matrix <folder for the pages> [pages|figures|charts|all]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

uint64_t Fnv1a(const void* data, size_t size, uint64_t hash = 1469598103934665603ull) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

// Readings made with integer arithmetic only, so every build sees the same
// doubles: a sum of twelve uniform numbers (nearly normal), scaled.
std::vector<double> Readings(int count, uint32_t seed, double centre, double spread, int shape) {
  std::vector<double> values(1, 0.0);
  uint32_t state = seed * 2654435761u + 12345u;
  for (int i = 0; i < count; ++i) {
    int64_t sum = 0;
    for (int j = 0; j < 12; ++j) {
      state = state * 1664525u + 1013904223u;
      sum += state >> 8;
    }
    double unit = (static_cast<double>(sum) - 6.0 * 16777216.0) / 16777216.0;  // about N(0, 1)
    double value = centre + spread * unit;
    if (shape == 1) value = centre;                                    // all equal
    if (shape == 2) value = centre + spread * (i % 7) * 0.25;           // a coarse grid
    if (shape == 3) value = centre + spread * unit + spread * 0.02 * i;  // a drift
    values.push_back(static_cast<double>(static_cast<int64_t>(value * 10000.0)) / 10000.0);
  }
  return values;
}

struct Request {
  uint32_t typ;
  int32_t sampleSize;
  uint32_t spcNorm;
  int count;
  int shape;
  int width, height;
  double factor;
  uint32_t uslOn, lslOn;
};

std::string Name(const Request& r) {
  char text[160];
  std::snprintf(text, sizeof text, "typ%u_m%d_norm%u_n%d_shape%d_%dx%d_f%g_lim%u%u", r.typ, r.sampleSize, r.spcNorm,
                r.count, r.shape, r.width, r.height, r.factor, r.uslOn, r.lslOn);
  return text;
}

std::vector<Request> PageMatrix() {
  std::vector<Request> list;
  const uint32_t kinds[] = {0, 1, 5, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 25, 26, 29, 30, 32};
  for (uint32_t typ : kinds)
    for (uint32_t norm = 0; norm < 4; ++norm) list.push_back({typ, 5, norm, 125, 0, 800, 600, 1.0, 1, 1});
  const uint32_t sized[] = {1, 10, 14, 20};
  const int sizes[][2] = {{800, 600}, {640, 480}, {1024, 768}, {333, 251}};
  const double factors[] = {1.0, 1.5, 2.0};
  for (uint32_t typ : sized)
    for (const auto& size : sizes)
      for (double factor : factors) list.push_back({typ, 4, 2, 100, 0, size[0], size[1], factor, 1, 1});
  const int counts[] = {1, 2, 7, 50, 200, 201, 1000};
  for (int count : counts) {
    list.push_back({11, 5, 3, count, 0, 800, 600, 1.0, 1, 1});
    list.push_back({16, 3, 1, count, 3, 800, 600, 1.0, 1, 0});
  }
  for (int shape = 1; shape < 4; ++shape) {
    list.push_back({10, 5, 2, 100, shape, 800, 600, 1.0, 1, 1});
    list.push_back({24, 2, 0, 60, shape, 800, 600, 1.5, 0, 1});
  }
  const int32_t groups[] = {1, 2, 20, 25};
  for (int32_t m : groups) list.push_back({13, m, 1, 150, 0, 800, 600, 1.0, 1, 1});
  return list;
}

std::vector<Request> FigureMatrix() {
  std::vector<Request> list;
  const int32_t groups[] = {1, 2, 3, 5, 8, 20, 25};
  const int counts[] = {0, 1, 3, 40, 125};
  for (uint32_t typ = 0; typ < 34; ++typ)
    for (uint32_t norm = 0; norm < 4; ++norm)
      for (int32_t m : groups)
        for (int count : counts)
          for (int shape = 0; shape < 4; shape += 3)
            list.push_back({typ, m, norm, count, shape, 0, 0, 0.0, typ % 3 ? 1u : 0u, typ % 4 ? 1u : 0u});
  return list;
}

// The further control charts (Create_ChartStatistics): every kind, subgroup
// size and method, with their options at the defaults and set.
struct ChartCall {
  uint32_t chart;
  int32_t sampleSize;
  uint32_t spcNorm;
  int count;
  int shape;
  bool equalSizes;
  bool options;
};

std::string ChartName(const ChartCall& c) {
  char text[120];
  std::snprintf(text, sizeof text, "chart%u_m%d_norm%u_n%d_shape%d_%s_%s", c.chart, c.sampleSize, c.spcNorm, c.count,
                c.shape, c.equalSizes ? "equal" : "varying", c.options ? "options" : "defaults");
  return text;
}

std::vector<ChartCall> ChartMatrix() {
  std::vector<ChartCall> list;
  const int counts[] = {2, 3, 40, 125};
  for (uint32_t chart = 0; chart <= 8; ++chart)
    for (int32_t m : {1, 2, 5, 20})
      for (uint32_t norm = 0; norm < 4; ++norm)
        for (int count : counts)
          for (int shape = 0; shape < 4; shape += 3)
            for (int variant = 0; variant < 4; ++variant)
              list.push_back({chart, m, norm, count, shape, variant % 2 == 0, variant >= 2});
  return list;
}

// Counts of the attribute charts from the same readings, within their sample sizes.
void AttributeData(const std::vector<double>& readings, bool equalSizes, std::vector<double>& counts,
                   std::vector<double>& sizes) {
  counts.assign(1, 0.0);
  sizes.assign(1, 0.0);
  for (size_t i = 1; i < readings.size(); ++i) {
    const double size = equalSizes ? 50.0 : static_cast<double>(20 + (i * 7) % 41);
    const double count = static_cast<double>(static_cast<int64_t>((readings[i] - 9.9) * 100.0));
    sizes.push_back(size);
    counts.push_back(count < 0 ? 0 : (count > size ? size : count));
  }
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
  if (which == "all" || which == "pages") {
    for (const Request& r : PageMatrix()) {
      std::vector<double> values = Readings(r.count, 7 + index++, 25.0, 0.01, r.shape);
      std::string path = folder + "\\" + Name(r) + ".bmp";
      std::remove(path.c_str());
      int32_t result = Create_SPCBitmap(nullptr, path.c_str(), r.width, r.height, r.factor, Name(r).c_str(), r.typ,
                                        values.data(), r.count, 25.0, 25.03, 24.97, r.uslOn, r.lslOn, r.sampleSize,
                                        r.spcNorm);
      std::vector<char> bytes = ReadFile(path);
      std::printf("page %s result %d bytes %zu hash %016llx\n", Name(r).c_str(), result, bytes.size(),
                  static_cast<unsigned long long>(Fnv1a(bytes.data(), bytes.size())));
    }
  }
  if (which == "all" || which == "figures") {
    for (const Request& r : FigureMatrix()) {
      std::vector<double> values = Readings(r.count, 1000 + index++, 10.0, 0.05, r.shape);
      double figures[49];
      std::memset(figures, 0xA5, sizeof figures);
      int32_t result = Create_SPCStatistics(r.typ, values.data(), r.count, 10.0, 10.1, 9.9, r.uslOn, r.lslOn,
                                            r.sampleSize, r.spcNorm, figures);
      std::printf("figures %s result %d hash %016llx\n", Name(r).c_str(), result,
                  static_cast<unsigned long long>(Fnv1a(figures, sizeof figures)));
    }
  }
  if (which == "all" || which == "charts") {
    const double options[] = {0, NAN, NAN, 255, 1, 0.3, 2.8, 0.4, 4.5, 1, 1};
    for (const ChartCall& c : ChartMatrix()) {
      std::vector<double> values = Readings(c.count, 3000 + index++, 10.0, 0.05, c.shape), counts, sizes;
      AttributeData(values, c.equalSizes, counts, sizes);
      const bool attribute = c.chart >= 4 && c.chart <= 7;
      std::vector<double> figures(35 + 5 * 125 + 1);
      std::memset(figures.data(), 0xA5, figures.size() * sizeof(double));
      int32_t result = Create_ChartStatistics(c.chart, attribute ? counts.data() : values.data(), sizes.data(),
                                              c.count, c.sampleSize, c.spcNorm, options, c.options ? 10 : 0,
                                              figures.data(), static_cast<int32_t>(figures.size()) - 1);
      std::printf("charts %s result %d hash %016llx\n", ChartName(c).c_str(), result,
                  static_cast<unsigned long long>(Fnv1a(figures.data(), figures.size() * sizeof(double))));
    }
  }
  if (which == "all" || which == "chartpages") {
    // The further charts' pages (Create_ChartBitmap): every kind, single readings and subgroups, equal and
    // varying sizes, options at the defaults and set (marks, EWMA weight, CUSUM k and h), at two page sizes.
    const double options[] = {0, NAN, NAN, 255, 1, 0.3, 2.8, 0.4, 4.5, 1, 0};
    for (uint32_t chart = 1; chart <= 7; ++chart)
      for (int variant = 0; variant < 4; ++variant)
        for (int page = 0; page < 2; ++page) {
          ChartCall c{chart, chart == 2 || chart == 3 ? 1 + 4 * (variant % 2) : 1, 3u, 60, variant % 2 ? 3 : 0,
                      variant % 2 == 0, variant >= 2};
          std::vector<double> values = Readings(c.count * c.sampleSize, 5000 + index++, 10.0, 0.05, c.shape), counts,
                              sizes;
          AttributeData(values, c.equalSizes || chart == 5, counts, sizes);
          const bool attribute = chart >= 4;
          const int32_t width = page ? 400 : 320, height = page ? 300 : 240;
          const double factor = page ? 2.0 : 1.0;
          const std::string name = ChartName(c) + (page ? "_400x300_f2" : "_320x240_f1");
          const std::string path = folder + "\\" + name + ".bmp";
          std::remove(path.c_str());
          int32_t result = Create_ChartBitmap(nullptr, path.c_str(), width, height, factor, name.c_str(), chart,
                                              attribute ? counts.data() : values.data(), sizes.data(),
                                              c.count * (attribute ? 1 : c.sampleSize), c.sampleSize, c.spcNorm,
                                              options, c.options ? 10 : 0);
          std::vector<char> bytes = ReadFile(path);
          std::printf("chartpage %s result %d bytes %zu hash %016llx\n", name.c_str(), result, bytes.size(),
                      static_cast<unsigned long long>(Fnv1a(bytes.data(), bytes.size())));
        }
  }
  return 0;
}
