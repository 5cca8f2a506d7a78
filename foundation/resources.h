#pragma once

#include <string>

#include "foundation/basic_error.h"

// Look-ups of the module's string table. The platform supplies the loader; the capacity rule
// and the errors are the same everywhere.
namespace Resources {

class Error : public BasicError {
  public:
    using BasicError::BasicError;
};

class ResourceNotFoundError : public Error {
  public:
    explicit ResourceNotFoundError(int id);

  protected:
    ResourceNotFoundError(std::string text, int) : Error(std::move(text)) {}
};

class StringNotFoundError : public ResourceNotFoundError {
  public:
    explicit StringNotFoundError(int id);
};

// Reads string `id` into `buffer` of `capacity` characters the way LoadStringA does: copies at
// most capacity - 1 characters, terminates with a zero and answers the number copied (0 when
// the string is missing or empty).
class StringLoader {
  public:
    virtual ~StringLoader() = default;
    virtual int load(int id, char* buffer, int capacity) = 0;
};

// The loader every look-up uses; the entry point installs the module's own. Not owned.
void setStringLoader(StringLoader* loader);

// The string `id`; throws StringNotFoundError when it is missing or empty. A string that fills
// the buffer may have been cut, so the capacity doubles (for the rest of the process) and the
// look-up is tried again.
std::string loadString(int id);

// Characters the next look-up starts with: 256 at first, only ever doubling.
int stringCapacity();

}  // namespace Resources
