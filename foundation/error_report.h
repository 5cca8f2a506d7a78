#pragma once

#include <functional>
#include <string>

// The programs' single error handlers: run the work, and answer the text to show the user
// (empty when nothing went wrong).

// The saver: "Sorry, internal error: " + what() + ".", or "Sorry, unknown internal error.".
std::string runReportingSaverErrors(const std::function<void()>& work);

// The installer: what() unchanged, or `unknownText` for anything else.
std::string runReportingInstallerErrors(const std::function<void()>& work,
                                        const std::string& unknownText);
