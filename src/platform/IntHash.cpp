#include "platform/IntHash.h"

namespace cv {

namespace {
// Right shift that keeps the sign bit, on the unsigned representation.
std::uint32_t shiftRightKeepingSign(std::uint32_t a, int n)
{
    const std::uint32_t shifted = a >> n;
    return (a & 0x80000000u) ? shifted | ~(0xFFFFFFFFu >> n) : shifted;
}
} // namespace

int intHashSlot(std::int32_t key, int count)
{
    // Unsigned arithmetic wraps where signed overflow would be undefined; the
    // bits are those of the signed steps with wrap-around.
    std::uint32_t a = std::uint32_t(key);
    a = a + ~(a << 15);
    a = a ^ shiftRightKeepingSign(a, 10);
    a = a * 9u;
    a = a ^ shiftRightKeepingSign(a, 6);
    a = a + ~(a << 11);
    a = a ^ shiftRightKeepingSign(a, 16);
    if (count < 1) return 0;
    const int slot = int(std::int32_t(a) % count);
    return slot < 0 ? slot + count : slot;
}

} // namespace cv
