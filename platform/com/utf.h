#pragma once
// UTF-8 (the program's text) to UTF-16 (COM boundaries) and back.
// Malformed input becomes U+FFFD; nothing is dropped silently past the end.
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
