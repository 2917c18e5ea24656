#ifndef SV_KEY_COMMON_H
#define SV_KEY_COMMON_H

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

} // namespace sv_key_common

#endif // SV_KEY_COMMON_H
