#pragma once
// An INI document held in memory line by line, in file order. Loading keeps
// every line, including those the program does not understand, and saving
// writes them back, so a file the user edited survives a round trip.
//
// Values are looked up by section and key. A section name that appears twice
// is kept in the file but only the first is found; the same holds for a key
// repeated inside one section, and for entries above the first section.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korvanta/core/ini_line.h"

class IniFile {
public:
    IniFile() = default;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Empties the document and reads the file (the given name, which becomes
    // the document's file name, or the current one when empty). Lines end in
    // CR LF or LF; there is no limit on a line's length, and NUL bytes or text
    // that is not UTF-8 are kept as they are. A missing file gives an empty
    // document and true; a file that exists but cannot be read gives an empty
    // document and false.
    bool Load(const std::filesystem::path& name = {});

    // Writes every line followed by CR LF, replacing the file only once the
    // whole text is written. Returns false when the file could not be written
    // (or the document has no file name); the document is unchanged either way.
    bool Save(const std::filesystem::path& name = {});

    // Replaces the lines with those of text, as Load does with a file's
    // contents; the file name stays.
    void Parse(std::string_view text);
    // The text Save writes.
    std::string Text() const;

    const std::filesystem::path& FileName() const { return fileName_; }
    std::size_t LineCount() const { return lines_.size(); }

    // Readers return whether the entry exists. When it does not, the text
    // reader sets value to fallback only if one is given; the others always do.
    bool ReadText(std::string_view section, std::string_view key, std::string& value,
                  std::optional<std::string_view> fallback = std::nullopt) const;
    // As ReadText, then each byte 0xE7 becomes CR and each "|" becomes LF.
    bool ReadMultiLineText(std::string_view section, std::string_view key, std::string& value,
                           std::optional<std::string_view> fallback = std::nullopt) const;
    // True exactly when the stored text is "true".
    bool ReadBool(std::string_view section, std::string_view key, bool& value, bool fallback) const;
    // Leading blanks, an optional sign, then decimal digits up to the first
    // other character; no digits read as 0, values beyond int saturate.
    bool ReadInt(std::string_view section, std::string_view key, int& value, int fallback) const;
    // A non-negative decimal count; reading stops at the first character that
    // is not a digit and saturates at the largest 64-bit value.
    bool ReadCount(std::string_view section, std::string_view key, std::int64_t& value,
                   std::int64_t fallback) const;

    // Writers find or create the section and the entry and replace its value.
    // They refuse (return false, change nothing) a section, key or value that
    // would not read back as written: one holding a line break, a key holding
    // " = " or starting with an apostrophe, and the like.
    bool WriteText(std::string_view section, std::string_view key, std::string_view value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    bool WriteInt(std::string_view section, std::string_view key, int value);
    // Counts of zero or below are stored as empty text.
    bool WriteCount(std::string_view section, std::string_view key, std::int64_t value);

private:
    void Clear();
    void AppendLine(std::string_view text, IniSection*& currentSection);
    const IniEntry* FindEntry(std::string_view section, std::string_view key) const;
    std::size_t EndOfSection(const IniSection* section) const;

    std::filesystem::path fileName_;
    std::vector<std::unique_ptr<IniLine>> lines_;
    SortedLineIndex<IniSection> sections_;
    // A UTF-8 byte order mark at the start of the file, written back on save.
    bool byteOrderMark_ = false;
};
