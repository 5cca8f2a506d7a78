#pragma once

#include <cstdint>

// Where one channel lies in a pixel: its lowest bit and how many bits it has.
struct ChannelBits {
    int shift = 0;
    int bits = 0;
};

// The channel a mask selects; none (0 bits) for a mask of 0.
ChannelBits channelBitsOf(std::uint32_t mask);

// The channel's value in `pixel` as 8 bits: wider channels keep their top 8 bits, narrower ones
// repeat their top bits below (5 bits abcde become abcdeabc), so that white stays white.
std::uint8_t widenChannel(std::uint32_t pixel, const ChannelBits& channel);

// An 8-bit value as the channel holds it, in place in a pixel; 10 bits as widenTo10 gives
// them, so that white stays white on a 10-bit screen.
std::uint32_t narrowChannel(std::uint8_t value, const ChannelBits& channel);
