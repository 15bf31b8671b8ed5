// libFuzzer target for the INI loader. Any input must parse without a fault,
// and what the document writes back must read back to the same text; a value
// written into the parsed document must read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "korvanta/core/ini_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    IniFile document;
    document.Parse(input);
    const std::string saved = document.Text();

    IniFile reread;
    reread.Parse(saved);
    Check(reread.Text() == saved);
    Check(reread.LineCount() == document.LineCount());

    // Use the first line's text as a section and key, the rest as a value.
    const std::size_t split = input.find('\n');
    const std::string_view name = input.substr(0, split == std::string_view::npos ? 0 : split);
    const std::string_view value = split == std::string_view::npos ? input : input.substr(split + 1);
    if (document.WriteText(name, name, value)) {
        std::string readBack;
        Check(document.ReadText(name, name, readBack) && readBack == value);
        reread.Parse(document.Text());
        Check(reread.ReadText(name, name, readBack) && readBack == value);
    }
    return 0;
}
