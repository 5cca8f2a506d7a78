#pragma once

#include <cstdint>

#include "foundation/pi.h"

class ByteReader;
class ByteWriter;

// What the rain field reads at setup.
class RainParameters {
  public:
    virtual ~RainParameters() = default;
    virtual int density() const = 0;
    // The wind in screen axes (x right, y down), truncated toward zero.
    virtual int windX() const = 0;
    virtual int windY() const = 0;
    virtual int minDropRadius() const = 0;
    virtual int dropRadiusSpread() const = 0;
};

// What the Rain page edits; the ranges are offered to the controls, never enforced.
class RainParametersEditor : public RainParameters {
  public:
    virtual int windForce() const = 0;
    virtual float windDirection() const = 0;
    virtual int windForceMin() const = 0;
    virtual int windForceMax() const = 0;
    virtual float windDirectionMin() const = 0;
    virtual float windDirectionMax() const = 0;
    virtual void setWindForce(int force) = 0;
    virtual void setWindDirection(float radians) = 0;
    virtual int densityMin() const = 0;
    virtual int densityMax() const = 0;
    virtual void setDensity(int density) = 0;
    virtual int dropRadiusMin() const = 0;
    virtual int dropRadiusMax() const = 0;
    virtual void setMinDropRadius(int radius) = 0;
    virtual void setDropRadiusSpread(int spread) = 0;
};

// The smallest and largest drop radius a record stands for, each inside the offered range. A
// stored record may hold any numbers: both are bounded before the spread is added.
int boundedMinDropRadius(const RainParametersEditor& settings);
int boundedMaxDropRadius(const RainParametersEditor& settings);

// What the saver run reads at start.
class DisplayParameters {
  public:
    virtual ~DisplayParameters() = default;
    virtual bool useDesktopMode() const = 0;
    virtual bool restartEnabled() const = 0;
    virtual int restartMinutes() const = 0;
    virtual int restartSeconds() const = 0;
    virtual void displayMode(int& width, int& height, int& bits, int& refresh) const = 0;
};

// What the Display page edits.
class DisplayParametersEditor : public DisplayParameters {
  public:
    virtual void setUseDesktopMode(bool use) = 0;
    virtual void setRestartEnabled(bool enabled) = 0;
    virtual void setRestartMinutes(int minutes) = 0;
    virtual void setRestartSeconds(int seconds) = 0;
    virtual void setDisplayMode(int width, int height, int bits, int refresh) = 0;
    virtual void restartMinutesRange(int& min, int& max) const = 0;
    virtual void restartSecondsRange(int& min, int& max) const = 0;
};

// Every value the user can tune. Setters store what they are given; keeping values inside the
// offered ranges is the editor's job.
class SaverSettings final : public RainParametersEditor, public DisplayParametersEditor {
  public:
    static constexpr uint32_t SETTINGS_RECORD_VERSION = 0x100;

    SaverSettings() = default;
    // Reads the record version and the thirteen fields; a field the source cannot supply keeps
    // its default.
    explicit SaverSettings(ByteReader& source);

    // Writes the record version and the thirteen fields, each with its exact size.
    void write(ByteWriter& sink) const;

    // RainParameters
    int density() const override { return density_; }
    int windX() const override;
    int windY() const override;
    int minDropRadius() const override { return minDropRadius_; }
    int dropRadiusSpread() const override { return dropRadiusSpread_; }

    // RainParametersEditor
    int windForce() const override { return windForce_; }
    float windDirection() const override { return windDirection_; }
    int windForceMin() const override { return 0; }
    int windForceMax() const override { return 50; }
    float windDirectionMin() const override;
    float windDirectionMax() const override;
    void setWindForce(int force) override { windForce_ = force; }
    void setWindDirection(float radians) override { windDirection_ = radians; }
    int densityMin() const override { return 0; }
    int densityMax() const override { return 50; }
    void setDensity(int density) override { density_ = density; }
    int dropRadiusMin() const override { return 1; }
    int dropRadiusMax() const override { return 10; }
    void setMinDropRadius(int radius) override { minDropRadius_ = radius; }
    void setDropRadiusSpread(int spread) override { dropRadiusSpread_ = spread; }

    // DisplayParameters
    bool useDesktopMode() const override { return useDesktopMode_; }
    bool restartEnabled() const override { return restartEnabled_; }
    int restartMinutes() const override { return restartMinutes_; }
    int restartSeconds() const override { return restartSeconds_; }
    void displayMode(int& width, int& height, int& bits, int& refresh) const override;

    // DisplayParametersEditor
    void setUseDesktopMode(bool use) override { useDesktopMode_ = use; }
    void setRestartEnabled(bool enabled) override { restartEnabled_ = enabled; }
    void setRestartMinutes(int minutes) override { restartMinutes_ = minutes; }
    void setRestartSeconds(int seconds) override { restartSeconds_ = seconds; }
    void setDisplayMode(int width, int height, int bits, int refresh) override;
    void restartMinutesRange(int& min, int& max) const override;
    void restartSecondsRange(int& min, int& max) const override;

  private:
    int32_t density_ = 25;
    int32_t windForce_ = 40;
    float windDirection_ = static_cast<float>(0.75 * kPi);
    int32_t minDropRadius_ = 4;
    int32_t dropRadiusSpread_ = 5;
    bool useDesktopMode_ = true;
    bool restartEnabled_ = false;
    int32_t restartMinutes_ = 2;
    int32_t restartSeconds_ = 30;
    int32_t modeWidth_ = 800;
    int32_t modeHeight_ = 640;
    int32_t modeBits_ = 32;
    int32_t modeRefresh_ = 80;
};
