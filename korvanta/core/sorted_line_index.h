#pragma once
// An index of named lines (the sections of a document, or the entries of one
// section) for lookup by name. It does not own the lines.
//
// Names compare byte by byte, so "General" and "general" are different names.
// The first line inserted under a name wins; later ones are refused, and the
// caller keeps them in its line list without indexing them. A std::map rather
// than a sorted array keeps loading large files with keys in any order at
// O(log n) per line.
#include <map>
#include <string_view>

template <typename Line>
class SortedLineIndex {
public:
    // Indexes the line under its Name(); false (and nothing changes) when the
    // name is already present. The name must stay unchanged while indexed.
    bool Insert(Line* line) { return lines_.emplace(line->Name(), line).second; }

    Line* Find(std::string_view name) const {
        const auto found = lines_.find(name);
        return found == lines_.end() ? nullptr : found->second;
    }

    void Clear() { lines_.clear(); }
    std::size_t Size() const { return lines_.size(); }

private:
    std::map<std::string_view, Line*, std::less<>> lines_;
};
