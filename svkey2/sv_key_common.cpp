#include "sv_key_common.h"

#include <cstdio>
#include <sys/wait.h>

namespace sv_key_common {

int execute_command(std::string command, std::string* output)
{
    command += " 2>&1";

    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        std::fprintf(stderr, "sv_key_common::execute_command: Couldn't start OS command: %s\n", command.c_str());
        return 1;
    }

    char buffer[1024];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        if (output)
            output->append(buffer, got);
    }

    const int status = ::pclose(pipe);
    if (status == -1)
        return 1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    // Stopped or otherwise abnormal: never report that as success.
    return 1;
}

std::string shell_quote(const std::string& value)
{
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '\'';
    for (char c : value) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

} // namespace sv_key_common
