// Records received from the key client daemon as Boost text archives:
// an archive on the backup server, an archive inside a recovery plan entry,
// and a recovery plan entry. Each serialize() visits the fields in the order
// in which the daemon writes them, which is not always the declaration order.
// Decoding a payload: see sv_payload_decode.h.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <boost/serialization/access.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/utility.hpp> // pairs of the client list
#include <boost/serialization/vector.hpp> // lists sent by the daemon

#include "sv_serialization_list.h"

// One archive stored on the backup server.
class sv_archive_short
{
public:
    sv_archive_short() = default;

    std::uint64_t get_id() const { return id; }
    std::uint64_t get_task_id() const { return task_id; }
    std::string get_name() const { return name; }
    std::uint64_t get_reference_id() const { return reference_id; }
    std::string get_resource_type() const { return resource_type; }
    std::string get_resource() const { return resource; }
    std::string get_backup_type() const { return backup_type; }
    std::string get_pool() const { return pool; }
    std::uint64_t get_archive_size() const { return archive_size; }
    std::uint64_t get_snapshot_size() const { return snapshot_size; }
    std::string get_created() const { return created; }
    std::string get_creation_duration() const { return creation_duration; }
    std::string get_transmission_duration() const { return transmission_duration; }
    std::string get_crypt_duration() const { return crypt_duration; }
    std::string get_crypt_algorithm() const { return crypt_algorithm; }
    bool is_digitally_signed() const { return digitally_signed; }
    std::uint32_t get_verification_status() const { return verification_status; }
    // "Not Verified", "Verified", ... ; "Wrong status" for an unknown code.
    std::string verification_status_str() const;
    std::uint32_t get_version() const { return version; }

    // Setters, for the programs that build records to send.
    void set_id(std::uint64_t v) { id = v; }
    void set_task_id(std::uint64_t v) { task_id = v; }
    void set_aux_text_1(const std::string& v) { aux_text_1 = v; }
    void set_name(const std::string& v) { name = v; }
    void set_reference_id(std::uint64_t v) { reference_id = v; }
    void set_resource_type(const std::string& v) { resource_type = v; }
    void set_resource(const std::string& v) { resource = v; }
    void set_backup_type(const std::string& v) { backup_type = v; }
    void set_pool(const std::string& v) { pool = v; }
    void set_archive_size(std::uint64_t v) { archive_size = v; }
    void set_snapshot_size(std::uint64_t v) { snapshot_size = v; }
    void set_created(const std::string& v) { created = v; }
    void set_creation_duration(const std::string& v) { creation_duration = v; }
    void set_transmission_duration(const std::string& v) { transmission_duration = v; }
    void set_crypt_algorithm(const std::string& v) { crypt_algorithm = v; }
    void set_crypt_duration(const std::string& v) { crypt_duration = v; }
    void set_aux_text_2(const std::string& v) { aux_text_2 = v; }
    void set_aux_text_3(const std::string& v) { aux_text_3 = v; }
    void set_digitally_signed(bool v) { digitally_signed = v; }
    void set_verification_status(std::uint32_t v) { verification_status = v; }

    // The auxiliary texts travel with the record but are not shown.
    std::string get_aux_text_1() const { return aux_text_1; }
    std::string get_aux_text_2() const { return aux_text_2; }
    std::string get_aux_text_3() const { return aux_text_3; }

    template <class Archive> void serialize(Archive& ar, const unsigned int file_version)
    {
        ar& id;
        ar& task_id;
        ar& aux_text_1;
        ar& name;
        ar& reference_id;
        ar& resource_type;
        ar& resource;
        ar& backup_type;
        ar& pool;
        ar& archive_size;
        ar& snapshot_size;
        ar& created;
        ar& creation_duration;
        ar& transmission_duration;
        ar& crypt_duration; // written before the algorithm
        ar& crypt_algorithm;
        ar& digitally_signed; // both written before the aux texts
        ar& verification_status;
        ar& aux_text_2;
        ar& aux_text_3;
        if (Archive::is_loading::value)
            version = file_version;
    }

private:
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
    std::string crypt_algorithm;
    std::string crypt_duration;
    std::string aux_text_2;
    std::string aux_text_3;
    bool digitally_signed = false;
    std::uint32_t verification_status = 0;
    std::uint32_t version = 0;
};

// Text of a verification status code.
std::string sv_verification_status_text(std::uint32_t code);

// One archive of a recovery plan entry.
struct sv_archive_drp
{
    sv_archive_short archive;
    bool flag = false;
    std::uint32_t version = 0;

    template <class Archive> void serialize(Archive& ar, const unsigned int file_version)
    {
        ar& archive;
        ar& flag;
        if (Archive::is_loading::value)
            version = file_version;
    }
};

// One entry of a client's disaster recovery plan.
class disaster_recovery_plan_record
{
public:
    disaster_recovery_plan_record() = default;

    std::uint32_t get_id() const { return id_; }
    std::string resource_type() const { return resource_type_; }
    std::string resource() const { return resource_; }
    std::string resource_destination() const { return resource_destination_; }
    std::uint32_t priority() const { return priority_; }
    std::string description() const { return description_; }
    std::vector<sv_archive_drp> archives() const { return archives_; }
    std::uint32_t get_version() const { return version_; }

    void set_id(std::uint32_t v) { id_ = v; }
    void set_resource_type(const std::string& v) { resource_type_ = v; }
    void set_resource(const std::string& v) { resource_ = v; }
    void set_resource_destination(const std::string& v) { resource_destination_ = v; }
    void set_priority(std::uint32_t v) { priority_ = v; }
    void set_description(const std::string& v) { description_ = v; }
    void set_archives(std::vector<sv_archive_drp> v) { archives_ = std::move(v); }

    template <class Archive> void serialize(Archive& ar, const unsigned int file_version)
    {
        ar& id_;
        ar& resource_; // written before its type
        ar& resource_type_;
        ar& resource_destination_;
        ar& priority_;
        ar& description_;
        sv_serialization::list_ref<sv_archive_drp> archives(archives_);
        ar& archives;
        if (Archive::is_loading::value)
            version_ = file_version;
    }

private:
    std::uint32_t id_ = 0;
    std::string resource_type_;
    std::string resource_;
    std::string resource_destination_;
    std::uint32_t priority_ = 100;
    std::string description_;
    std::vector<sv_archive_drp> archives_;
    std::uint32_t version_ = 0;
};
