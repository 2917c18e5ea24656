// Payloads of an exact size, for the framing tests of the key client daemon
// stand-in: the records and their encoders are the backend library's.
#pragma once

#include <cstddef>
#include <vector>

#include "sv_archive_records.h"

namespace sv_standin {

// Grows the padding text (aux_text_1 of the last archive, or the description
// of the last plan entry) until the encoded payload is exactly `bytes` long.
// Returns false when the list is empty or the size cannot be reached.
bool pad_archives_to(std::vector<sv_archive_short>& archives, std::size_t bytes);
bool pad_plan_to(std::vector<disaster_recovery_plan_record>& plan, std::size_t bytes);

} // namespace sv_standin
