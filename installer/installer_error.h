#pragma once

#include "foundation/basic_error.h"

namespace Installer {

// A failure of the installation, shown to the user without any prefix.
class Error : public BasicError {
  public:
    using BasicError::BasicError;
};

}  // namespace Installer
