#include "korvanta/skin/edit_mask.h"

namespace {

// The members of one set (the text between its brackets).
std::optional<std::string> ParseSet(std::string_view set) {
    if (set.empty() || set.front() == '-')
        return std::nullopt;
    std::string members;
    for (std::size_t i = 0; i < set.size(); ++i) {
        char c = set[i];
        if (c == '\\' && i + 1 < set.size() && (set[i + 1] == '-' || set[i + 1] == '\\')) {
            members += set[++i];
            continue;
        }
        if (i + 2 < set.size() && set[i + 1] == '-') {
            const auto first = static_cast<unsigned char>(c);
            const auto last = static_cast<unsigned char>(set[i + 2]);
            if (last < first)
                return std::nullopt;
            for (unsigned value = first; value <= last; ++value)
                members += static_cast<char>(value);
            i += 2;
            continue;
        }
        members += c;
    }
    return members;
}

}  // namespace

bool MaskBracketsBalance(std::string_view mask) {
    bool inSet = false;
    for (const char c : mask) {
        if (c == '[') {
            if (inSet)
                return false;
            inSet = true;
        } else if (c == ']') {
            if (!inSet)
                return false;
            inSet = false;
        }
    }
    return !inSet;
}

std::optional<std::vector<MaskPosition>> BuildMaskPositions(std::string_view mask) {
    std::vector<MaskPosition> positions;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '[') {
            const std::size_t close = mask.find(']', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            std::optional<std::string> members = ParseSet(mask.substr(i + 1, close - i - 1));
            if (!members)
                return std::nullopt;
            positions.push_back({std::move(*members), false});
            i = close;
        } else {
            positions.push_back({std::string(1, mask[i]), true});
        }
        if (positions.size() > kMaxMaskPositions)
            return std::nullopt;
    }
    return positions;
}

std::string MaskedText(const std::vector<MaskPosition>& positions, std::string_view given, char placeholder) {
    std::string shown;
    std::size_t next = 0;
    for (const MaskPosition& position : positions) {
        if (position.literal) {
            shown += position.chars;
            continue;
        }
        const bool have = next < given.size();
        const char c = have ? given[next] : '\0';
        if (have)
            ++next;
        shown += have && position.Accepts(c) ? c : placeholder;
    }
    return shown;
}
