#ifndef SV_PATHS_H
#define SV_PATHS_H

// Fixed places on the rescue medium and in the installed system that more
// than one part of the controller uses. An installed system's file is
// mountRoot + its own absolute path. The backup client's own files are
// shared with the backend library and the stand-ins (sv_shared_paths.h).
#include "sv_shared_paths.h"

namespace sv_paths {

constexpr const char* mountRoot = "/mnt";

// Where the live system mounts the medium it booted from, and the kernel's
// views used to find that medium's disk.
constexpr const char* liveMediumMount = "/run/live/medium";
constexpr const char* mountInfoFile = "/proc/self/mountinfo";
constexpr const char* sysDevBlock = "/sys/dev/block";
constexpr const char* sysClassBlock = "/sys/class/block";
constexpr const char* kernelCommandLine = "/proc/cmdline";

} // namespace sv_paths

#endif // SV_PATHS_H
