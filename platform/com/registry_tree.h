#pragma once
// The in-memory form of one registry root: keys holding named values and
// subkeys. Names compare without regard to ASCII case, as on Windows, and
// keep the case they were created with; maps keep them in that order, which
// is the order enumeration reports.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/wintypes.h"

namespace kvreg {

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

struct RegValue {
    DWORD type = 0;
    std::vector<BYTE> data;

    bool operator==(const RegValue&) const = default;
};

struct RegNode {
    std::map<std::string, RegValue, NoCaseLess> values;  // "" is the default value
    std::map<std::string, RegNode, NoCaseLess> keys;
};

// Key names from the root down.
using KeyPath = std::vector<std::string>;

// How deep a key may lie below its root, as on Windows. The limit also keeps
// the recursive walks over a tree (writing it, freeing it) to a bounded depth
// whatever a hand-edited file asks for.
inline constexpr std::size_t kMaxKeyDepth = 512;

// The key at path, or null when a key on the way does not exist.
const RegNode* FindKey(const RegNode& root, const KeyPath& path);
RegNode* FindKey(RegNode& root, const KeyPath& path);
// The key at path, creating every missing key on the way.
RegNode& CreateKey(RegNode& root, const KeyPath& path);

}  // namespace kvreg
