// The records the key client daemon sends, written as Boost text archives:
// the client list (pairs of name and hardware id), a client's archives and
// its disaster recovery plan. These writer types carry the fields in the
// order in which they travel.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sv_standin {

struct archive_record {
    std::uint64_t id = 0;
    std::uint64_t task_id = 0;
    std::string aux_text_1;
    std::string name;
    std::uint64_t reference_id = 0;
    std::string resource_type;
    std::string resource;
    std::string backup_type;
    std::string pool;
    std::uint64_t archive_size = 0;
    std::uint64_t snapshot_size = 0;
    std::string created;
    std::string creation_duration;
    std::string transmission_duration;
    std::string crypt_duration;
    std::string crypt_algorithm;
    bool digitally_signed = false;
    std::uint32_t verification_status = 0;
    std::string aux_text_2;
    std::string aux_text_3;
};

struct plan_archive_record {
    archive_record archive;
    bool flag = false;
};

struct plan_record {
    std::uint32_t id = 0;
    std::string resource;
    std::string resource_type;
    std::string resource_destination;
    std::uint32_t priority = 100;
    std::string description;
    std::vector<plan_archive_record> archives;
};

typedef std::vector<std::pair<std::string, std::string>> client_pairs;

std::string encode_clients(const client_pairs& clients);
std::string encode_archives(const std::vector<archive_record>& archives);
std::string encode_plan(const std::vector<plan_record>& plan);

// Grows the padding text (aux_text_1 of the last archive, or the description
// of the last plan entry) until the encoded payload is exactly `bytes` long.
// Returns false when the list is empty or the size cannot be reached.
bool pad_archives_to(std::vector<archive_record>& archives, std::size_t bytes);
bool pad_plan_to(std::vector<plan_record>& plan, std::size_t bytes);

}  // namespace sv_standin
