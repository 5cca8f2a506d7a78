#pragma once

#include "foundation/basic_error.h"

namespace DDraw {

// A failure of the display device, reported to the user as it stands.
class Exception : public BasicError {
  public:
    using BasicError::BasicError;
};

}  // namespace DDraw
