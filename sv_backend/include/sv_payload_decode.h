// Decoding of the structured answers of the key client daemon. A payload is
// a Boost text archive (standard header, no flags) holding one list; zero
// bytes after the archive text (the padding of the last received part) are
// ignored.
//
// Every decoder never throws. On success it replaces `out` with the decoded
// list and returns true. On failure it returns false, leaves `out` exactly as
// it was and puts a message for the operator into `error`; a list is never
// handed back half filled.
//
//   std::vector<sv_archive_short> archives;
//   std::string error;
//   if (!sv_payload::decode_archive_list(payload, archives, error))
//       report(error);
//
// The encoders write the same format (used by the daemon stand-in and tests);
// they return an empty string only if the library fails.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sv_archive_records.h"

namespace sv_payload {

// Client list: pairs of (client name, hardware id), in the server's order.
typedef std::vector<std::pair<std::string, std::string>> client_list;

bool decode_client_list(const std::string& payload, client_list& out, std::string& error) noexcept;
bool decode_archive_list(const std::string& payload, std::vector<sv_archive_short>& out, std::string& error) noexcept;
bool decode_recovery_plan(
    const std::string& payload, std::vector<disaster_recovery_plan_record>& out, std::string& error) noexcept;

std::string encode_client_list(const client_list& clients);
std::string encode_archive_list(const std::vector<sv_archive_short>& archives);
std::string encode_recovery_plan(const std::vector<disaster_recovery_plan_record>& plan);

} // namespace sv_payload
