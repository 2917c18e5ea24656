// Fixed places of the backup client on the rescue medium that the tool
// (svkey2/sv_paths.h), the backend library and the stand-ins all use. An
// installed system's file is sv_paths::mountRoot + its own absolute path.
#pragma once

namespace sv_paths {

constexpr const char* clientConfigFile = "/opt/sarvelin/etc/config.file";
constexpr const char* keysFolder = "/opt/sarvelin/keys";
constexpr const char* masterKeyFile = "/opt/sarvelin/keys/master-key";
constexpr const char* clientLogFile = "/opt/sarvelin/log/Sarvelin.log";

} // namespace sv_paths
