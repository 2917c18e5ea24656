#ifndef SV_KEY_COMMON_H
#define SV_KEY_COMMON_H

#include <cstddef>
#include <string>

struct CommandResult;

// Helpers of the one seam through which the tool reaches the system.
namespace sv_key_common {

// How long a command run by execute_command may take before it is killed.
constexpr int kCommandTimeoutMs = 120000;

// Runs the pipeline `command` with "/bin/sh -c" through the command runner
// (command_runner.h), waiting at most `timeoutMs` while the window goes on
// answering. Appends what the command writes to its standard output to
// *output (never cleared); its standard error goes to the log, and the whole
// result to *result when given (for explainFailure). Returns the status as a
// shell reports it: the exit code, 1 when the command could not be started,
// 128 + N when it was killed by signal N (137 when it ran out of time).
int execute_command(const std::string& command, std::string* output, CommandResult* result = nullptr,
    int timeoutMs = kCommandTimeoutMs);

// Quotes one value for insertion into a /bin/sh command line, so that it is
// always passed as a single literal word: abc -> 'abc', it's -> 'it'\''s'.
// Every value that did not come from this program's own fixed texts (device
// names, UUIDs, paths, host names, operator input) goes through it.
std::string shell_quote(const std::string& value);

// Creates `path` anew as an empty regular file with mode 0600 for the tool's
// own output: whatever was at `path` (a file, a link planted there) is
// removed first, and the new file is created exclusively, so no link is ever
// followed. Returns the system's error text, empty on success.
std::string create_private_file(const std::string& path);

// Reads the regular file `path` (at most `max_size` bytes) into *content
// without following a link at `path` and without ever blocking on or
// reading what is no regular file: a FIFO, a device node, a socket or a
// directory is refused unread. Returns the error text, empty on success.
std::string read_regular_file(const std::string& path, std::size_t max_size, std::string* content);

} // namespace sv_key_common

#endif // SV_KEY_COMMON_H
