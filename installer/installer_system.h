#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Installer {

// The wizard's pages, by their dialog resource ids.
enum class Page { Welcome = 105, Licence = 106, Finish = 108 };

// What the installation needs from the system, so that its decisions build and are tested
// without it. Registry calls answer Win32 result codes (0 is success). Paths are UTF-8.
class System {
  public:
    using Key = std::uintptr_t;

    virtual ~System() = default;
    // Shows a page modally and answers the value it ended with (1 goes on). The finish page
    // shows `copyFlag` and stores the check box back into it, whatever button ends it.
    virtual int showPage(Page page, bool& copyFlag) = 0;
    // True when the machine's "Software" key can be opened for writing.
    virtual bool hasMachineWriteAccess() = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // A plain box with an OK button and no icon.
    virtual void inform(const std::string& text, const std::string& caption) = 0;
    // The installer's own directory and the system directory.
    virtual std::string moduleDirectory() = 0;
    virtual std::string systemDirectory() = 0;
    // Up to `count` bytes from the start of a file; empty when it cannot be read.
    virtual std::vector<std::uint8_t> readFileStart(const std::string& path, std::size_t count) = 0;
    // Copies over an existing file; false when the copy failed.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    virtual long createMachineKey(const std::string& path, Key& key) = 0;
    virtual long setStringValue(Key key, const std::string& name, const std::string& value) = 0;
    virtual void closeKey(Key key) = 0;
};

}  // namespace Installer
