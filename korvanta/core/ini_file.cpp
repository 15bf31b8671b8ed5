#include "korvanta/core/ini_file.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <system_error>

#include "platform/system/replace_file.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Text that a writer may store under a key: a text form that parses back to
// the same line kind with the same fields, on a line of its own.
bool FitsOnOneLine(std::string_view text) {
    return text.find('\n') == std::string_view::npos && !text.ends_with('\r');
}

bool ReadsBackAsSection(std::string_view name) {
    if (!FitsOnOneLine(name)) return false;
    const IniSection section(name);
    const auto parsed = IniLine::Parse(section.Text());
    return parsed->Kind() == IniLineKind::Section && static_cast<const IniSection&>(*parsed).Name() == name;
}

bool ReadsBackAsEntry(std::string_view key, std::string_view value) {
    const IniEntry entry(key, value);
    const std::string text = entry.Text();
    if (!FitsOnOneLine(text)) return false;
    const auto parsed = IniLine::Parse(text);
    if (parsed->Kind() != IniLineKind::Entry) return false;
    const auto& readBack = static_cast<const IniEntry&>(*parsed);
    return readBack.Name() == key && readBack.Value() == value;
}

}  // namespace

void IniFile::Clear() {
    sections_.Clear();
    lines_.clear();
    byteOrderMark_ = false;
}

void IniFile::AppendLine(std::string_view text, IniSection*& currentSection) {
    std::unique_ptr<IniLine> line = IniLine::Parse(text);
    if (line->Kind() == IniLineKind::Section) {
        currentSection = static_cast<IniSection*>(line.get());
        sections_.Insert(currentSection);
    } else if (line->Kind() == IniLineKind::Entry && currentSection) {
        currentSection->Entries().Insert(static_cast<IniEntry*>(line.get()));
    }
    lines_.push_back(std::move(line));
}

bool IniFile::Load(const std::filesystem::path& name) {
    if (!name.empty()) fileName_ = name;
    Clear();

    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fileName_, error);
    if (!std::filesystem::exists(status)) return !error || error == std::errc::no_such_file_or_directory;
    // Only a regular file: a folder cannot be read and a device may never end.
    if (!std::filesystem::is_regular_file(status)) return false;
    const std::uintmax_t size = std::filesystem::file_size(fileName_, error);
    std::ifstream in(fileName_, std::ios::binary);
    if (error || !in) return false;
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (in.bad()) return false;
    text.resize(static_cast<std::size_t>(in.gcount()));

    Parse(text);
    return true;
}

void IniFile::Parse(std::string_view text) {
    Clear();
    std::string_view rest = text;
    if (rest.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        rest.remove_prefix(kByteOrderMark.size());
    }
    IniSection* currentSection = nullptr;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        AppendLine(line, currentSection);
    }
}

std::string IniFile::Text() const {
    std::string text;
    if (byteOrderMark_) text += kByteOrderMark;
    for (const auto& line : lines_) {
        text += line->Text();
        text += "\r\n";
    }
    return text;
}

bool IniFile::Save(const std::filesystem::path& name) {
    if (!name.empty()) fileName_ = name;
    if (fileName_.empty()) return false;

    return ReplaceFileContents(fileName_, Text());
}

const IniEntry* IniFile::FindEntry(std::string_view section, std::string_view key) const {
    const IniSection* found = sections_.Find(section);
    return found ? found->Entries().Find(key) : nullptr;
}

bool IniFile::ReadText(std::string_view section, std::string_view key, std::string& value,
                       std::optional<std::string_view> fallback) const {
    if (const IniEntry* entry = FindEntry(section, key)) {
        value = entry->Value();
        return true;
    }
    if (fallback) value = *fallback;
    return false;
}

bool IniFile::ReadMultiLineText(std::string_view section, std::string_view key, std::string& value,
                                std::optional<std::string_view> fallback) const {
    const bool found = ReadText(section, key, value, fallback);
    for (char& c : value) {
        if (static_cast<unsigned char>(c) == 0xE7) c = '\r';
        else if (c == '|') c = '\n';
    }
    return found;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool& value, bool fallback) const {
    const IniEntry* entry = FindEntry(section, key);
    value = entry ? entry->Value() == "true" : fallback;
    return entry != nullptr;
}

bool IniFile::ReadInt(std::string_view section, std::string_view key, int& value, int fallback) const {
    const IniEntry* entry = FindEntry(section, key);
    if (!entry) {
        value = fallback;
        return false;
    }
    std::string_view text = entry->Value();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Accumulate towards the sign's side so that INT_MIN itself is reachable.
    std::int64_t number = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        number = std::min(number * 10 + (c - '0'), kLimit);
    }
    if (negative) number = -number;
    value = static_cast<int>(std::clamp<std::int64_t>(number, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
    return true;
}

bool IniFile::ReadCount(std::string_view section, std::string_view key, std::int64_t& value,
                        std::int64_t fallback) const {
    const IniEntry* entry = FindEntry(section, key);
    if (!entry) {
        value = fallback;
        return false;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t number = 0;
    for (const char c : entry->Value()) {
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        number = number > (kMax - digit) / 10 ? kMax : number * 10 + digit;
    }
    value = number;
    return true;
}

std::size_t IniFile::EndOfSection(const IniSection* section) const {
    std::size_t position = 0;
    while (lines_[position].get() != section) ++position;
    // New entries go after the section's last line that is not blank, so the
    // blank lines that separate sections stay between them.
    std::size_t end = position + 1;
    for (std::size_t next = end; next < lines_.size(); ++next) {
        const IniLineKind kind = lines_[next]->Kind();
        if (kind == IniLineKind::Section) break;
        if (kind != IniLineKind::Blank) end = next + 1;
    }
    return end;
}

bool IniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    if (!ReadsBackAsSection(section) || !ReadsBackAsEntry(key, value)) return false;

    IniSection* found = sections_.Find(section);
    if (!found) {
        auto created = std::make_unique<IniSection>(section);
        found = created.get();
        sections_.Insert(found);
        lines_.push_back(std::move(created));
    }
    IniEntry* entry = found->Entries().Find(key);
    if (!entry) {
        auto created = std::make_unique<IniEntry>(key, std::string_view());
        entry = created.get();
        found->Entries().Insert(entry);
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(EndOfSection(found)), std::move(created));
    }
    entry->SetValue(value);
    return true;
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteText(section, key, value ? "true" : "false");
}

bool IniFile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteText(section, key, std::to_string(value));
}

bool IniFile::WriteCount(std::string_view section, std::string_view key, std::int64_t value) {
    return WriteText(section, key, value > 0 ? std::to_string(value) : std::string());
}
