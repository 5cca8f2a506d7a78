#pragma once

#include <istream>
#include <string>

// Splits a command line into white-space separated tokens. A token that starts with "-" or "/"
// is a switch (handed on without that character), anything else a plain argument. Handlers may
// read further tokens from the same stream; parsing resumes after what they consumed.
class CommandLineParser {
  public:
    virtual ~CommandLineParser() = default;

    void parse(const std::string& commandLine);

  protected:
    virtual void onSwitch(const std::string& word, std::istream& rest) = 0;
    virtual void onArgument(const std::string& token, std::istream& rest) = 0;
};
