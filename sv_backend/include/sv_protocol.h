// The keywords of the key client daemon's message-queue protocol, shared by
// the controller (svkey2) and the daemon stand-in (standins/sv_keyclientd).
// A request is one message; so is an answer, except the lists, which follow
// their keyword as a length message and the payload (sv_payload_decode.h).
#pragma once

namespace sv_protocol {

// --- requests (a trailing ":" is followed by the request's values)
constexpr const char* hello = "HELLO:"; // address:cmd port:media port:interface
constexpr const char* disconnect = "DISCONNECT";
constexpr const char* keyPassword = "SV KEY PASSWORD:"; // hash
constexpr const char* clientPassword = "SV KEY CLIENT PASSWORD:"; // client:hash
constexpr const char* getClientList = "GET CLIENT LIST";
constexpr const char* getArchives = "GET ARCHIVES LIST SV KEY:"; // hwid:rescue_image
constexpr const char* getRecoveryPlan = "GET DISASTER RECOVERY PLAN:"; // hwid
constexpr const char* restoreArchives = "SV KEY RESTORE ARCHIVES"; // hash:PWD_SEPARATE:device:archive
constexpr const char* askBackupStatus = "ASK LAST BACKUP STATUS";
constexpr const char* askRestoreStatus = "ASK LAST RESTORE STATUS";

// --- answers
constexpr const char* helloAccepted = "ok";
constexpr const char* keyNotAuthenticated = "SV KEY NOT AUTHENTICATED";
constexpr const char* clientNotAuthenticated = "CLIENT NOT AUTHENTICATED";
constexpr const char* noConnectionWithServer = "NO CONNECTION WITH SARVELIN SERVER";
constexpr const char* authenticated = "SV KEY AUTHENTICATED";
constexpr const char* serverDisconnected = "SERVER WAS DISCONNECTED";
constexpr const char* takeClientList = "TAKE CLIENT LIST";
constexpr const char* takeArchives = "TAKE ARCHIVES TYPE LIST";
constexpr const char* takeRecoveryPlan = "TAKE DISASTER RECOVERY PLAN";
constexpr const char* noRecoveryPlan = "CLIENT HASNT DISASTER RECOVERY PLAN";
// Also what sv_archives prints when the server queued its backup task.
constexpr const char* taskAdded = "TASK WAS ADDED TO QUEUE:"; // task id
constexpr const char* backupStatus = "LAST BACKUP STATUS:"; // code
constexpr const char* restoreStatus = "LAST RESTORE STATUS:"; // code

} // namespace sv_protocol
