#pragma once

#include <exception>
#include <string>

// The base of every error the programs report: it carries a finished sentence for the user.
class BasicError : public std::exception {
  public:
    explicit BasicError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

  private:
    std::string text_;
};
