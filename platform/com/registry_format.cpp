#include "platform/com/registry_format.h"

#include <charconv>

#include "platform/com/registry.h"

namespace kvreg {

namespace {

constexpr std::string_view kMagic = "korvanta-registry 1";

// ---- Writing ----------------------------------------------------------------

void AppendHexByte(std::string& out, BYTE byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\x";
                    AppendHexByte(out, byte);
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// Little-endian number of data.size() bytes as fixed-width hex.
void AppendNumber(std::string& out, const std::vector<BYTE>& data) {
    for (auto it = data.rbegin(); it != data.rend(); ++it) AppendHexByte(out, *it);
}

// A REG_SZ payload can be written as text when it is a string with exactly one terminating zero.
bool IsPlainString(const RegValue& value) {
    if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i)
        if (value.data[i] == 0) return false;
    return true;
}

void AppendValue(std::string& out, const std::string& name, const RegValue& value) {
    if (name.empty()) out += '@';
    else AppendQuoted(out, name);
    out += '=';
    if (IsPlainString(value)) {
        out += "sz:";
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        out += "dword:";
        AppendNumber(out, value.data);
    } else if (value.type == REG_QWORD && value.data.size() == 8) {
        out += "qword:";
        AppendNumber(out, value.data);
    } else {
        out += "hex(" + std::to_string(value.type) + "):";
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            if (i) out += ',';
            AppendHexByte(out, value.data[i]);
        }
    }
    out += '\n';
}

void AppendKey(std::string& out, const std::string& path, const RegNode& node) {
    if (!path.empty()) {
        out += '[' + path + "]\n";
        for (const auto& [name, value] : node.values) AppendValue(out, name, value);
    }
    for (const auto& [name, child] : node.keys) AppendKey(out, path.empty() ? name : path + '\\' + name, child);
}

// ---- Reading ----------------------------------------------------------------

// Reads one line at a time and takes it apart; every method fails (nullopt or
// false) on anything not well-formed.
class LineReader {
public:
    explicit LineReader(std::string_view line) : rest_(line) {}

    bool AtEnd() const { return rest_.empty(); }
    bool Take(std::string_view token) {
        if (!rest_.starts_with(token)) return false;
        rest_.remove_prefix(token.size());
        return true;
    }

    std::optional<std::string> Quoted() {
        if (!Take("\"")) return std::nullopt;
        std::string text;
        while (!rest_.empty()) {
            const char c = rest_.front();
            rest_.remove_prefix(1);
            if (c == '"') return text;
            if (c != '\\') {
                text += c;
                continue;
            }
            if (rest_.empty()) return std::nullopt;
            const char escape = rest_.front();
            rest_.remove_prefix(1);
            switch (escape) {
                case '\\': text += '\\'; break;
                case '"': text += '"'; break;
                case 'n': text += '\n'; break;
                case 'r': text += '\r'; break;
                case 't': text += '\t'; break;
                case 'x': {
                    const auto byte = HexNumber(2);
                    if (!byte) return std::nullopt;
                    text += static_cast<char>(*byte);
                    break;
                }
                default: return std::nullopt;
            }
        }
        return std::nullopt;  // no closing quote
    }

    // Exactly `digits` hex digits.
    std::optional<std::uint64_t> HexNumber(std::size_t digits) {
        if (rest_.size() < digits) return std::nullopt;
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + digits, value, 16);
        if (error != std::errc{} || end != rest_.data() + digits) return std::nullopt;
        rest_.remove_prefix(digits);
        return value;
    }

    std::optional<DWORD> Decimal() {
        DWORD value = 0;
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), value, 10);
        if (error != std::errc{}) return std::nullopt;
        rest_.remove_prefix(static_cast<std::size_t>(end - rest_.data()));
        return value;
    }

private:
    std::string_view rest_;
};

std::vector<BYTE> NumberBytes(std::uint64_t number, std::size_t size) {
    std::vector<BYTE> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<BYTE>(number >> (8 * i));
    return data;
}

std::optional<RegValue> ParsePayload(LineReader& line) {
    RegValue value;
    if (line.Take("sz:")) {
        const auto text = line.Quoted();
        if (!text) return std::nullopt;
        value.type = REG_SZ;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
    } else if (line.Take("dword:")) {
        const auto number = line.HexNumber(8);
        if (!number) return std::nullopt;
        value.type = REG_DWORD;
        value.data = NumberBytes(*number, 4);
    } else if (line.Take("qword:")) {
        const auto number = line.HexNumber(16);
        if (!number) return std::nullopt;
        value.type = REG_QWORD;
        value.data = NumberBytes(*number, 8);
    } else if (line.Take("hex(")) {
        const auto type = line.Decimal();
        if (!type || !line.Take("):")) return std::nullopt;
        value.type = *type;
        while (!line.AtEnd()) {
            if (!value.data.empty() && !line.Take(",")) return std::nullopt;
            const auto byte = line.HexNumber(2);
            if (!byte) return std::nullopt;
            value.data.push_back(static_cast<BYTE>(*byte));
        }
    } else {
        return std::nullopt;
    }
    if (!line.AtEnd()) return std::nullopt;
    return value;
}

std::optional<KeyPath> ParseKeyPath(std::string_view text) {
    KeyPath path;
    while (true) {
        const auto separator = text.find('\\');
        const auto name = text.substr(0, separator);
        if (name.empty()) return std::nullopt;
        path.emplace_back(name);
        if (path.size() > kMaxKeyDepth) return std::nullopt;
        if (separator == std::string_view::npos) return path;
        text.remove_prefix(separator + 1);
    }
}

}  // namespace

std::string SerializeTree(const RegNode& root) {
    std::string out;
    out += kMagic;
    out += '\n';
    AppendKey(out, {}, root);
    return out;
}

std::optional<RegNode> ParseTree(std::string_view text) {
    RegNode root;
    RegNode* current = nullptr;
    bool sawMagic = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;

        if (!sawMagic) {
            if (line != kMagic) return std::nullopt;
            sawMagic = true;
        } else if (line.front() == '[') {
            if (!line.ends_with(']')) return std::nullopt;
            const auto path = ParseKeyPath(line.substr(1, line.size() - 2));
            if (!path) return std::nullopt;
            current = &CreateKey(root, *path);
        } else {
            if (!current) return std::nullopt;
            LineReader reader(line);
            std::optional<std::string> name = reader.Take("@") ? std::optional<std::string>("") : reader.Quoted();
            if (!name || !reader.Take("=")) return std::nullopt;
            auto value = ParsePayload(reader);
            if (!value || !current->values.emplace(std::move(*name), std::move(*value)).second) return std::nullopt;
        }
    }
    if (!sawMagic) return std::nullopt;
    return root;
}

}  // namespace kvreg
