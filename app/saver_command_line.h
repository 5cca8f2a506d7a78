#pragma once

#include <cstdint>
#include <string>

#include "app/command_line_parser.h"

enum class SaverMode : std::int32_t {
    Saver = 0,
    Preview = 1,
    Configure = 2,
    Uninstall = 3,
    Kill = 4
};

// The saver's switches: "s" runs full screen, "p N" previews into host window N, "c:N" shows the
// settings owned by window N, "uninstall", "kill \"path\"" and "quiet". A later switch overrides
// the mode of an earlier one; unknown switches and plain arguments are ignored.
class SaverCommandLine : public CommandLineParser {
  public:
    SaverMode mode() const { return mode_; }
    std::int32_t windowHandle() const { return windowHandle_; }
    bool isQuiet() const { return quiet_; }
    std::string victimPath() const { return victimPath_; }

  protected:
    void onSwitch(const std::string& word, std::istream& rest) override;
    void onArgument(const std::string&, std::istream&) override {}

  private:
    SaverMode mode_ = SaverMode::Configure;
    std::int32_t windowHandle_ = 0;
    bool quiet_ = false;
    std::string victimPath_;
};
