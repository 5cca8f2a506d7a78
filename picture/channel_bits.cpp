#include "picture/channel_bits.h"

#include "picture/pixel_format.h"

ChannelBits channelBitsOf(std::uint32_t mask) {
    ChannelBits c;
    if (mask == 0) return c;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++c.shift;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

std::uint8_t widenChannel(std::uint32_t pixel, const ChannelBits& c) {
    if (c.bits == 0) return 0;
    const std::uint32_t v = (pixel >> c.shift) & ((c.bits >= 32 ? 0u : (1u << c.bits)) - 1u);
    if (c.bits >= 8) return static_cast<std::uint8_t>(v >> (c.bits - 8));
    std::uint32_t wide = 0;
    for (int filled = 0; filled < 8; filled += c.bits) wide = (wide << c.bits) | v;
    const int total = ((8 + c.bits - 1) / c.bits) * c.bits;
    return static_cast<std::uint8_t>(wide >> (total - 8));
}

std::uint32_t narrowChannel(std::uint8_t value, const ChannelBits& c) {
    if (c.bits == 0) return 0;
    const std::uint32_t v = c.bits == 10  ? widenTo10(value)
                            : c.bits >= 8 ? static_cast<std::uint32_t>(value) << (c.bits - 8)
                                          : static_cast<std::uint32_t>(value) >> (8 - c.bits);
    return v << c.shift;
}
