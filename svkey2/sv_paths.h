#ifndef SV_PATHS_H
#define SV_PATHS_H

// Fixed places on the rescue medium and in the installed system that more
// than one part of the controller uses. An installed system's file is
// mountRoot + its own absolute path.
namespace sv_paths {

constexpr const char* mountRoot = "/mnt";
constexpr const char* clientConfigFile = "/opt/sarvelin/etc/config.file";
constexpr const char* keysFolder = "/opt/sarvelin/keys";
constexpr const char* masterKeyFile = "/opt/sarvelin/keys/master-key";
constexpr const char* clientLogFile = "/opt/sarvelin/log/Sarvelin.log";

} // namespace sv_paths

#endif // SV_PATHS_H
