#pragma once
// The lines of an INI document. Each line knows its kind, can be parsed from
// the text of one line and gives back its text form; saving a document writes
// exactly these text forms, so lines the program does not understand survive.
#include <memory>
#include <string>
#include <string_view>

#include "korvanta/core/sorted_line_index.h"

enum class IniLineKind {
    Section = 1,       // "[name]"
    Entry = 2,         // "key = value"
    Comment = 3,       // "'text"
    Blank = 4,         // ""
    Unrecognised = 5,  // anything else, kept verbatim (for example "key=value")
};

class IniLine {
public:
    virtual ~IniLine() = default;
    IniLine(const IniLine&) = delete;
    IniLine& operator=(const IniLine&) = delete;

    IniLineKind Kind() const { return kind_; }
    virtual std::string Text() const = 0;

    // Recognises the kind in the fixed order blank, section, comment, entry;
    // whitespace is never trimmed.
    static std::unique_ptr<IniLine> Parse(std::string_view text);

protected:
    explicit IniLine(IniLineKind kind) : kind_(kind) {}

private:
    IniLineKind kind_;
};

class IniEntry;

class IniSection final : public IniLine {
public:
    explicit IniSection(std::string_view name) : IniLine(IniLineKind::Section), name_(name) {}
    std::string_view Name() const { return name_; }
    std::string Text() const override;
    SortedLineIndex<IniEntry>& Entries() { return entries_; }
    const SortedLineIndex<IniEntry>& Entries() const { return entries_; }

private:
    const std::string name_;
    SortedLineIndex<IniEntry> entries_;
};

class IniEntry final : public IniLine {
public:
    IniEntry(std::string_view key, std::string_view value)
        : IniLine(IniLineKind::Entry), key_(key), value_(value) {}
    std::string_view Name() const { return key_; }
    const std::string& Value() const { return value_; }
    void SetValue(std::string_view value) { value_ = value; }
    std::string Text() const override;

private:
    const std::string key_;
    std::string value_;
};

class IniComment final : public IniLine {
public:
    explicit IniComment(std::string_view text) : IniLine(IniLineKind::Comment), text_(text) {}
    std::string Text() const override { return "'" + text_; }

private:
    std::string text_;
};

class IniBlankLine final : public IniLine {
public:
    IniBlankLine() : IniLine(IniLineKind::Blank) {}
    std::string Text() const override { return {}; }
};

class IniUnrecognisedLine final : public IniLine {
public:
    explicit IniUnrecognisedLine(std::string_view text) : IniLine(IniLineKind::Unrecognised), text_(text) {}
    std::string Text() const override { return text_; }

private:
    std::string text_;
};
