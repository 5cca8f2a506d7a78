#include "settings/saver_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "foundation/pi.h"
#include "settings/byte_stream.h"

namespace {

// Extended precision from the float angle: rounding the angle or the product to double first
// moves results such as sin(float(pi/2)) * 40 across an integer.
// A damaged stored direction (NaN, infinity) has no sine: it gives no wind rather than an
// undefined conversion. A damaged force of -2147483648 times a factor of -1 does not fit an
// int either: such a product saturates.
int truncatedProduct(long double factor, int force) {
    const long double product = factor * static_cast<long double>(force);
    if (!std::isfinite(product)) return 0;
    if (product >= 2147483648.0L) return INT32_MAX;
    if (product <= -2147483649.0L) return INT32_MIN;
    return static_cast<int>(product);
}

void readInt(ByteReader& source, int32_t& field) {
    uint32_t raw;
    if (source.readU32(raw)) field = static_cast<int32_t>(raw);
}

void readFlag(ByteReader& source, bool& field) {
    uint8_t raw;
    if (source.readU8(raw)) field = raw != 0;
}

void readFloat(ByteReader& source, float& field) {
    uint32_t raw;
    if (source.readU32(raw)) std::memcpy(&field, &raw, sizeof field);
}

void writeInt(ByteWriter& sink, int32_t value) { sink.writeU32(static_cast<uint32_t>(value)); }

}  // namespace

SaverSettings::SaverSettings(ByteReader& source) {
    uint32_t recordVersion;
    if (!source.readU32(recordVersion)) return;
    readInt(source, density_);
    readInt(source, windForce_);
    readFloat(source, windDirection_);
    readInt(source, minDropRadius_);
    readInt(source, dropRadiusSpread_);
    readFlag(source, useDesktopMode_);
    readFlag(source, restartEnabled_);
    readInt(source, restartMinutes_);
    readInt(source, restartSeconds_);
    readInt(source, modeWidth_);
    readInt(source, modeHeight_);
    readInt(source, modeBits_);
    readInt(source, modeRefresh_);
}

void SaverSettings::write(ByteWriter& sink) const {
    sink.writeU32(SETTINGS_RECORD_VERSION);
    writeInt(sink, density_);
    writeInt(sink, windForce_);
    uint32_t direction;
    std::memcpy(&direction, &windDirection_, sizeof direction);
    sink.writeU32(direction);
    writeInt(sink, minDropRadius_);
    writeInt(sink, dropRadiusSpread_);
    sink.writeU8(useDesktopMode_ ? 1 : 0);
    sink.writeU8(restartEnabled_ ? 1 : 0);
    writeInt(sink, restartMinutes_);
    writeInt(sink, restartSeconds_);
    writeInt(sink, modeWidth_);
    writeInt(sink, modeHeight_);
    writeInt(sink, modeBits_);
    writeInt(sink, modeRefresh_);
}

int SaverSettings::windX() const {
    return truncatedProduct(-std::cos(static_cast<long double>(windDirection_)), windForce_);
}

int SaverSettings::windY() const {
    return truncatedProduct(std::sin(static_cast<long double>(windDirection_)), windForce_);
}

int boundedMinDropRadius(const RainParametersEditor& settings) {
    return std::clamp(settings.minDropRadius(), settings.dropRadiusMin(), settings.dropRadiusMax());
}

int boundedMaxDropRadius(const RainParametersEditor& settings) {
    const int smallest = boundedMinDropRadius(settings);
    const int spread = std::clamp(settings.dropRadiusSpread(), 0, settings.dropRadiusMax());
    return std::min(smallest + spread, settings.dropRadiusMax());
}

float SaverSettings::windDirectionMin() const { return static_cast<float>(kPi / 18.0); }

float SaverSettings::windDirectionMax() const { return static_cast<float>(17.0 * kPi / 18.0); }

void SaverSettings::displayMode(int& width, int& height, int& bits, int& refresh) const {
    width = modeWidth_;
    height = modeHeight_;
    bits = modeBits_;
    refresh = modeRefresh_;
}

void SaverSettings::setDisplayMode(int width, int height, int bits, int refresh) {
    modeWidth_ = width;
    modeHeight_ = height;
    modeBits_ = bits;
    modeRefresh_ = refresh;
}

void SaverSettings::restartMinutesRange(int& min, int& max) const {
    min = 0;
    max = 30;
}

void SaverSettings::restartSecondsRange(int& min, int& max) const {
    min = 0;
    max = 59;
}
