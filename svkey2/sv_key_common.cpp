#include "sv_key_common.h"

#include "command_runner.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sv_key_common {

int execute_command(const std::string& command, std::string* output, CommandResult* result, int timeoutMs)
{
    const CommandResult run = CommandRunner::current().runShell(QString::fromStdString(command), timeoutMs);
    if (output)
        output->append(run.standardOutput.constData(), static_cast<std::size_t>(run.standardOutput.size()));
    if (result)
        *result = run;
    return run.shellStatus();
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

std::string sv_key_common::create_private_file(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return std::strerror(errno);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::strerror(errno);
    int err = ::fchmod(fd, 0600) == 0 ? 0 : errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return err == 0 ? std::string() : std::string(std::strerror(err));
}

std::string sv_key_common::read_regular_file(const std::string& path, std::size_t max_size, std::string* content)
{
    // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a
    // writer; fstat then refuses it before anything is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::strerror(errno);
    struct stat st
    { };
    std::string error;
    if (::fstat(fd, &st) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode)                        ? "it is a directory"
            : S_ISFIFO(st.st_mode)                         ? "it is a FIFO"
            : (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) ? "it is a device node"
                                                           : "it is not a regular file";
    } else if (static_cast<unsigned long long>(st.st_size) > max_size) {
        error = "it is larger than " + std::to_string(max_size) + " bytes";
    } else {
        std::string data;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error = std::strerror(errno);
                break;
            }
            if (n == 0)
                break;
            data.append(buffer, static_cast<std::size_t>(n));
            if (data.size() > max_size) {
                error = "it is larger than " + std::to_string(max_size) + " bytes";
                break;
            }
        }
        if (error.empty() && content)
            *content = std::move(data);
    }
    ::close(fd);
    return error;
}
