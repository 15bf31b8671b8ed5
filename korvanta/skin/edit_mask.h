#pragma once
// The mask of a masked edit: a row of positions, each one character of the
// shown text. A character outside brackets is a literal position showing
// itself; "[...]" is one input position accepting the characters of its set.
// Inside a set "a-z" adds a range (byte order) and a backslash makes the next
// "-" or "\" an ordinary member; a set must not begin with "-". Brackets
// balance and never nest.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MaskPosition {
    std::string chars;  // the allowed set, or the literal character
    bool literal = false;

    bool Accepts(char c) const { return !literal && chars.find(c) != std::string::npos; }
};

inline constexpr std::size_t kMaxMaskPositions = 256;

// Whether every "[" is closed by a "]" before the next "[" and no "]" stands alone.
bool MaskBracketsBalance(std::string_view mask);
// The positions of a mask whose brackets balance; nothing for a set that is
// empty, begins with "-" or holds a range running backwards, and for a mask
// of more than 256 positions.
std::optional<std::vector<MaskPosition>> BuildMaskPositions(std::string_view mask);
// The shown text for given: literal positions show themselves; each input
// position takes the next unused character of given when its set holds it,
// else the placeholder (a refused character is used up all the same).
std::string MaskedText(const std::vector<MaskPosition>& positions, std::string_view given, char placeholder);
