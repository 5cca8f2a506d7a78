#include "settings/settings_format.h"

#include "settings/byte_stream.h"

void writeConfiguration(const SaverSettings& settings, std::vector<uint8_t>& out) {
    ByteWriter sink(out);
    sink.writeU32(CONFIGURATION_FORMAT_VERSION);
    settings.write(sink);
}

std::unique_ptr<SaverSettings> readConfiguration(const uint8_t* data, size_t size) {
    ByteReader source(data, size < CONFIGURATION_SIZE ? size : CONFIGURATION_SIZE);
    uint32_t formatVersion;
    if (!source.readU32(formatVersion)) return nullptr;
    return std::make_unique<SaverSettings>(source);
}
