// Fuzz target: any two texts (UTF-16, surrogates paired or not) compare as a
// strict weak order whose equal class is "equal without regard to case", the
// same whether measured or terminated, and a text compares equal to its own
// folded form and begins with it.
#include "platform/base/unicode_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte says where the units split into the two texts.
    std::u16string units;
    for (std::size_t i = 1; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    const std::size_t cut = data[0] % (units.size() + 1);
    const std::u16string a = units.substr(0, cut);
    const std::u16string b = units.substr(cut);

    using namespace platform;
    const int ab = sign(compare_without_case(a, b));
    if (ab != -sign(compare_without_case(b, a))) std::abort();
    if ((ab == 0) != equal_without_case(a, b)) std::abort();
    if (a.find(u'\0') == std::u16string::npos && b.find(u'\0') == std::u16string::npos &&
        ab != sign(compare_without_case(a.c_str(), b.c_str())))
        std::abort();
    const std::u16string folded = fold_case(a);
    if (compare_without_case(a, folded) != 0 || !starts_without_case(folded, a)) std::abort();
    // Joined, a lone high surrogate at a's end would pair with b's first unit.
    const bool pairs = !a.empty() && !b.empty() && a.back() >= 0xD800 && a.back() <= 0xDBFF && b[0] >= 0xDC00 &&
                       b[0] <= 0xDFFF;
    if (!pairs && !starts_without_case(a + b, a)) std::abort();
    return 0;
}
