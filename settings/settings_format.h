#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "settings/saver_settings.h"

// The bytes of the registry value "Configuration": a format version word followed by the
// settings record, 54 bytes in all, little-endian and unpadded.
constexpr uint32_t CONFIGURATION_FORMAT_VERSION = 0x200;
constexpr size_t CONFIGURATION_SIZE = 54;

// Appends the whole configuration to `out`.
void writeConfiguration(const SaverSettings& settings, std::vector<uint8_t>& out);

// A new record from the value's bytes, or none when not even the format version is there.
// Neither version word is compared; bytes past the record are ignored; fields the value ends
// before keep their defaults.
std::unique_ptr<SaverSettings> readConfiguration(const uint8_t* data, size_t size);
