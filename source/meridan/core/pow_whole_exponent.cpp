// pow for the 64-bit Windows build. The x86_64 MinGW C library computes pow
// with a whole-number exponent by repeated multiplication, which is often one
// unit in the last place off, where the i686 library's pow is correctly
// rounded; Boost's gamma and beta functions (the chi-square, F and t
// distributions) call it so. That tree links with -Wl,--wrap=pow, so every pow
// of the library and its tests comes here: whole-number exponents through long
// double, which gives the i686 results, and the others to the library's pow,
// which already agrees with the i686 one. Both builds then give the same figures.
#include <cmath>

extern "C" double __real_pow(double base, double exponent);

extern "C" double __wrap_pow(double base, double exponent) {
  if (std::isfinite(exponent) && exponent == std::trunc(exponent))
    return static_cast<double>(std::pow(static_cast<long double>(base), static_cast<long double>(exponent)));
  return __real_pow(base, exponent);
}
