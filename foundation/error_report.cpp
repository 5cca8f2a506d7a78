#include "foundation/error_report.h"

#include <exception>
#include <sstream>

std::string runReportingSaverErrors(const std::function<void()>& work) {
    std::ostringstream report;
    try {
        work();
    } catch (const std::exception& e) {
        report << "Sorry, internal error: " << e.what() << ".";
    } catch (...) {
        report << "Sorry, unknown internal error.";
    }
    return report.str();
}

std::string runReportingInstallerErrors(const std::function<void()>& work,
                                        const std::string& unknownText) {
    try {
        work();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return unknownText;
    }
    return std::string();
}
