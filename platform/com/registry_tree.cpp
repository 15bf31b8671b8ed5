#include "platform/com/registry_tree.h"

#include <algorithm>

namespace kvreg {

namespace {
unsigned char FoldCase(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}
}  // namespace

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

const RegNode* FindKey(const RegNode& root, const KeyPath& path) {
    const RegNode* node = &root;
    for (const auto& name : path) {
        const auto child = node->keys.find(name);
        if (child == node->keys.end()) return nullptr;
        node = &child->second;
    }
    return node;
}

RegNode* FindKey(RegNode& root, const KeyPath& path) {
    return const_cast<RegNode*>(FindKey(static_cast<const RegNode&>(root), path));
}

RegNode& CreateKey(RegNode& root, const KeyPath& path) {
    RegNode* node = &root;
    for (const auto& name : path) node = &node->keys[name];
    return *node;
}

}  // namespace kvreg
