#pragma once
// The text form of one registry root, one file per root. It is meant to be
// read (and, with care, edited) by people:
//
//   korvanta-registry 1
//   [CLSID\{0B0D3F52-...}]
//   @=sz:"Stamp"
//   [CLSID\{0B0D3F52-...}\InprocServer32]
//   @=sz:"/opt/korvanta/lib/modules/libdvstamp.so"
//   "ThreadingModel"=sz:"Both"
//   "Merit"=dword:00200000
//   "FilterData"=hex(3):02,00,00,00,00,00,20,00
//
// The first line names the format and its version. Every key has a header
// line with its full path (names separated by "\"), followed by its values.
// "@" is the default value; other value names are quoted. Values are
//   sz:"text"        REG_SZ data ending in its one terminating zero
//   dword:XXXXXXXX   four bytes, written as the number they hold
//   qword:X{16}      eight bytes, written as the number they hold
//   hex(T):bb,bb,... any type T (decimal) with any data, also empty
// Quoted text escapes \\ \" \n \r \t and \xHH for other control bytes;
// everything else, UTF-8 included, stands as it is. Blank lines and lines
// starting with "#" are ignored. Anything else makes the file damaged.
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/registry_tree.h"

namespace kvreg {

std::string SerializeTree(const RegNode& root);
// nullopt when the text is not a well-formed registry file.
std::optional<RegNode> ParseTree(std::string_view text);

}  // namespace kvreg
