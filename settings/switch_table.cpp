#include "settings/switch_table.h"

namespace {

// Where the help of every switch starts in --help, and the width it is wrapped to.
constexpr std::size_t kHelpColumn = 25;
constexpr std::size_t kLineWidth = 96;

bool isNumber(const char* text) { return (text[0] >= '0' && text[0] <= '9') || text[0] == '-'; }

}  // namespace

void failSwitch(const std::string& text) { throw SwitchError(text); }

bool parseInteger(const std::string& text, bool allowSign, std::int64_t limit,
                  std::int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (allowSign && i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > limit) return false;
    }
    value = negative ? -v : v;
    return true;
}

void failRange(const Switch& s, const std::string& text) {
    failSwitch(std::string(s.name) + " wants a whole number from " + std::to_string(s.lo) + " to " +
               std::to_string(s.hi) + ", not \"" + text + "\"");
}

std::int64_t integerSwitch(const Switch& s, const std::string& text) {
    std::int64_t v = 0;
    if (!parseInteger(text, s.lo < 0, s.hi + 1, v) || v < s.lo || v > s.hi) failRange(s, text);
    return v;
}

std::string usageLines(const Switch& s) {
    std::string head = std::string("  ") + s.name;
    if (s.value[0] != '\0') head += std::string(" ") + s.value;
    head += std::string(head.size() < kHelpColumn ? kHelpColumn - head.size() : 1, ' ');

    std::string body = s.help;
    if (hasRange(s)) {
        body += (body.empty() ? "" : ", ") + std::to_string(s.lo) + " to " + std::to_string(s.hi);
    }
    if (s.byDefault[0] != '\0') {
        body +=
            std::string(isNumber(s.byDefault) ? " (default " : " (default: ") + s.byDefault + ")";
    }

    // Wrapped at spaces, continuation lines starting at the help's column.
    std::string text = head;
    std::size_t column = head.size();
    bool first = true;
    for (std::size_t at = 0; at < body.size();) {
        std::size_t end = body.find(' ', at);
        if (end == std::string::npos) end = body.size();
        const std::string word = body.substr(at, end - at);
        if (!first && column + 1 + word.size() > kLineWidth) {
            text += "\n" + std::string(kHelpColumn, ' ');
            column = kHelpColumn;
        } else if (!first) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        first = false;
        at = end + 1;
    }
    return text + "\n";
}

bool SwitchCursor::next() {
    if (started_) {
        ++at_;
    } else {
        started_ = true;
    }
    if (at_ >= args_.size()) return false;
    name_ = args_[at_];
    value_.clear();
    inlineValue_ = false;
    if (name_ == "-h") name_ = "--help";
    // xscreensaver's programs take one dash.
    if (name_.size() > 2 && name_[0] == '-' && name_[1] != '-') name_ = "-" + name_;
    const size_t eq = name_.find('=');
    if (name_.rfind("--", 0) == 0 && eq != std::string::npos) {
        value_ = name_.substr(eq + 1);
        name_ = name_.substr(0, eq);
        inlineValue_ = true;
    }
    return true;
}

const std::string& SwitchCursor::value() {
    if (!inlineValue_) {
        if (at_ + 1 >= args_.size()) failSwitch(name_ + " needs a value");
        value_ = args_[++at_];
    }
    return value_;
}

void SwitchCursor::noValue() const {
    if (inlineValue_) failSwitch(name_ + " takes no value");
}
