#ifndef SV_KEY_COMMON_H
#define SV_KEY_COMMON_H

#include <cstddef>
#include <string>

// The one seam through which the tool runs system commands.
namespace sv_key_common {

// Runs `command` through /bin/sh with standard error merged into standard
// output (" 2>&1" is appended), appends everything the command prints to
// *output and returns its exit code: 0 for success, 1 when the command cannot
// be started, 128 + N when the command was killed by signal N. The call
// blocks until the command ends. *output is appended to, never cleared.
int execute_command(std::string command, std::string* output);

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
