#include "relay_modules.h"

#include <array>
#include <cstdio>
#include <mutex>
#include <sys/wait.h>

namespace kvtest {

RegistrationResult RunRegsvr(const std::string& module, bool unregister) {
    const std::string command =
        std::string("'") + KVTEST_REGSVR + "' " + (unregister ? "-u " : "") + "'" + module + "' 2>&1";
    RegistrationResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe)) result.output += chunk.data();
    const int status = ::pclose(pipe);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

void RegisterRelayModules() {
    static std::once_flag once;
    std::call_once(once, [] {
        RunRegsvr(KVTEST_RELAYSINK_MODULE);
        RunRegsvr(KVTEST_RELAYSOURCE_MODULE);
    });
}

}  // namespace kvtest
