// korvanta-regsvr MODULE.so             registers the module's servers
// korvanta-regsvr -u|--unregister MODULE.so  removes them
// korvanta-regsvr --list                lists what is registered
#include <iostream>
#include <string_view>

#include "tools/regsvr/module_registration.h"
#include "tools/regsvr/server_list.h"

namespace {

int Usage() {
    std::cerr << "usage: korvanta-regsvr MODULE.so\n"
                 "       korvanta-regsvr -u|--unregister MODULE.so\n"
                 "       korvanta-regsvr --list\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::cerr << std::unitbuf;
    if (argc == 2 && std::string_view(argv[1]) == "--list") return ListRegisteredServers(std::cout, std::cerr) ? 0 : 1;
    if (argc == 2 && !std::string_view(argv[1]).starts_with('-')) {
        const bool ok = RunModuleRegistration(argv[1], Registration::Register, std::cerr);
        return ok ? 0 : 1;
    }
    if (argc == 3 && (std::string_view(argv[1]) == "-u" || std::string_view(argv[1]) == "--unregister"))
        return RunModuleRegistration(argv[2], Registration::Unregister, std::cerr) ? 0 : 1;
    return Usage();
}
