// korvanta-regsvr MODULE.so                   registers the module's servers
// korvanta-regsvr -u|--unregister MODULE.so   removes them
// korvanta-regsvr --platform                  registers the platform's own filters with the mapper
// korvanta-regsvr -u|--unregister --platform  removes those entries
// korvanta-regsvr --all                       registers the program's own modules and the platform's filters
// korvanta-regsvr --list                      lists what is registered
#include <iostream>
#include <string>
#include <string_view>

#include "platform/media/graph/builtin_classes.h"
#include "tools/regsvr/module_registration.h"
#include "tools/regsvr/server_list.h"

namespace {

int Usage() {
    std::cerr << "usage: korvanta-regsvr MODULE.so\n"
                 "       korvanta-regsvr -u|--unregister MODULE.so\n"
                 "       korvanta-regsvr [-u|--unregister] --platform\n"
                 "       korvanta-regsvr --all\n"
                 "       korvanta-regsvr --list\n";
    return 2;
}

int Finish(const std::string& problem) {
    if (problem.empty()) return 0;
    std::cerr << "korvanta-regsvr: " << problem << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Filter modules register their filters with the filter mapper, which the
    // media framework provides as a built-in class.
    KvMediaRegisterPlatformClasses();
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first == "--list") return Finish(ListRegisteredServers(std::cout));
    if (argc == 2 && first == "--all") return Finish(RunProgramRegistration());
    if (argc == 2 && first == "--platform") return Finish(RunPlatformRegistration(Registration::Register));
    const std::string_view second = argc > 2 ? argv[2] : "";
    if (argc == 3 && (first == "-u" || first == "--unregister") && second == "--platform")
        return Finish(RunPlatformRegistration(Registration::Unregister));
    if (argc == 2 && !first.starts_with('-')) return Finish(RunModuleRegistration(argv[1], Registration::Register));
    if (argc == 3 && (first == "-u" || first == "--unregister"))
        return Finish(RunModuleRegistration(argv[2], Registration::Unregister));
    return Usage();
}
