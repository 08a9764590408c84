#include "engine/util/util.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

namespace tulk::util {

void init() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

std::uint32_t draw_seed() {
    return static_cast<std::uint32_t>(std::rand());
}

void reseed(std::uint32_t seed) {
    std::srand(seed);
}

int rrand(int low, int high) {
    if (high <= low) {
        return low;
    }
    // Wider than int so that the span of any range fits. rand() reaches RAND_MAX only, so
    // a span wider than that never gives the values past low + RAND_MAX.
    const long long span = static_cast<long long>(high) - low;
    return static_cast<int>(low + std::rand() % span);
}

glm::vec3 random_unit_vector() {
    for (;;) {
        const int x = rrand(-1000, 1000);
        const int y = rrand(-1000, 1000);
        const int z = rrand(-1000, 1000);
        if (x != 0 || y != 0 || z != 0) {
            const glm::vec3 v(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
            return v * (1.0f / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
        }
    }
}

void sin_cos_degrees(float degrees, float& sine, float& cosine) {
    // To within 45 degrees of a multiple of 90, exactly: fmod and the subtraction of a whole
    // multiple of 90 from a value below 360 are exact in double.
    double d = std::fmod(static_cast<double>(degrees), 360.0);
    if (d < 0.0) {
        d += 360.0;
    }
    const double quarter = std::floor((d + 45.0) / 90.0);
    const double x = (d - quarter * 90.0) * (3.14159265358979323846 / 180.0);
    // Taylor series to the 17th and 16th powers: below double's rounding for |x| <= pi/4.
    const double x2 = x * x;
    double s = 1.0 / 355687428096000.0;
    double c = 1.0 / 20922789888000.0;
    const double s_terms[] = {
        1.0 / 1307674368000.0, 1.0 / 6227020800.0, 1.0 / 39916800.0, 1.0 / 362880.0,
        1.0 / 5040.0,          1.0 / 120.0,        1.0 / 6.0,        1.0};
    const double c_terms[] = {
        1.0 / 87178291200.0, 1.0 / 479001600.0, 1.0 / 3628800.0, 1.0 / 40320.0,
        1.0 / 720.0,         1.0 / 24.0,        1.0 / 2.0,       1.0};
    for (int i = 0; i < 8; ++i) {
        s = s * -x2 + s_terms[i];
        c = c * -x2 + c_terms[i];
    }
    s *= x;
    const double sines[] = {s, c, -s, -c};
    const double cosines[] = {c, -s, -c, s};
    const int q = static_cast<int>(quarter) % 4;
    sine = static_cast<float>(sines[q]);
    cosine = static_cast<float>(cosines[q]);
}

std::string itoa(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string ftoa(float value, int decimals) {
#if __cpp_lib_to_chars < 201611L
    // GCC 10's library, which the firmware build uses, has no to_chars for floating point;
    // a stream in the classic locale prints the same digits.
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(decimals < 0 ? 0 : decimals)
        << static_cast<double>(value);
    return out.str();
#else
    // to_chars never consults the locale and rounds the exact binary value to
    // nearest, ties to even, exactly as printf's %.*f does in the "C" locale.
    // Room for the sign, the 39 integer digits of the largest float, the point and every
    // decimal asked for, so that no precision overflows the text.
    const int places = decimals < 0 ? 0 : decimals;
    std::string text(static_cast<std::size_t>(places) + 48, '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(),
                                      static_cast<double>(value), std::chars_format::fixed, places);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return text;
#endif
}

} // namespace tulk::util
