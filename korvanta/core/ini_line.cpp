#include "korvanta/core/ini_line.h"

namespace {
constexpr std::string_view kSeparator = " = ";
}

std::string IniSection::Text() const {
    std::string text;
    text.reserve(name_.size() + 2);
    text += '[';
    text += name_;
    text += ']';
    return text;
}

std::string IniEntry::Text() const {
    std::string text;
    text.reserve(key_.size() + kSeparator.size() + value_.size());
    text += key_;
    text += kSeparator;
    text += value_;
    return text;
}

std::unique_ptr<IniLine> IniLine::Parse(std::string_view text) {
    if (text.empty()) return std::make_unique<IniBlankLine>();
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        return std::make_unique<IniSection>(text.substr(1, text.size() - 2));
    if (text.front() == '\'') return std::make_unique<IniComment>(text.substr(1));
    if (const std::size_t separator = text.find(kSeparator); separator != std::string_view::npos)
        return std::make_unique<IniEntry>(text.substr(0, separator), text.substr(separator + kSeparator.size()));
    return std::make_unique<IniUnrecognisedLine>(text);
}
