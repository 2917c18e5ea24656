#include "records.h"

#include <sstream>

#include <boost/archive/text_oarchive.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/utility.hpp>
#include <boost/serialization/vector.hpp>

namespace boost {
namespace serialization {

template <class Archive>
void serialize(Archive& ar, sv_standin::archive_record& r, const unsigned int)
{
    ar & r.id;
    ar & r.task_id;
    ar & r.aux_text_1;
    ar & r.name;
    ar & r.reference_id;
    ar & r.resource_type;
    ar & r.resource;
    ar & r.backup_type;
    ar & r.pool;
    ar & r.archive_size;
    ar & r.snapshot_size;
    ar & r.created;
    ar & r.creation_duration;
    ar & r.transmission_duration;
    ar & r.crypt_duration;
    ar & r.crypt_algorithm;
    ar & r.digitally_signed;
    ar & r.verification_status;
    ar & r.aux_text_2;
    ar & r.aux_text_3;
}

template <class Archive>
void serialize(Archive& ar, sv_standin::plan_archive_record& r, const unsigned int)
{
    ar & r.archive;
    ar & r.flag;
}

template <class Archive>
void serialize(Archive& ar, sv_standin::plan_record& r, const unsigned int)
{
    ar & r.id;
    ar & r.resource;
    ar & r.resource_type;
    ar & r.resource_destination;
    ar & r.priority;
    ar & r.description;
    ar & r.archives;
}

}  // namespace serialization
}  // namespace boost

namespace sv_standin {

namespace {
template <class T>
std::string encode(const T& value)
{
    std::ostringstream out;
    {
        boost::archive::text_oarchive ar(out);
        ar << value;
    }
    return out.str();
}

// Adjusts the length of `pad` until encode() yields `bytes`.
template <class Encode>
bool grow_to(std::string& pad, std::size_t bytes, Encode encode_now)
{
    for (int round = 0; round < 16; ++round) {
        const std::size_t now = encode_now().size();
        if (now == bytes)
            return true;
        if (now > bytes) {
            const std::size_t cut = now - bytes;
            if (cut > pad.size())
                return false;
            pad.resize(pad.size() - cut);
        } else {
            pad.append(bytes - now, 'x');
        }
    }
    return encode_now().size() == bytes;
}
}  // namespace

std::string encode_clients(const client_pairs& clients) { return encode(clients); }
std::string encode_archives(const std::vector<archive_record>& archives) { return encode(archives); }
std::string encode_plan(const std::vector<plan_record>& plan) { return encode(plan); }

bool pad_archives_to(std::vector<archive_record>& archives, std::size_t bytes)
{
    if (archives.empty())
        return false;
    return grow_to(archives.back().aux_text_1, bytes, [&] { return encode_archives(archives); });
}

bool pad_plan_to(std::vector<plan_record>& plan, std::size_t bytes)
{
    if (plan.empty())
        return false;
    return grow_to(plan.back().description, bytes, [&] { return encode_plan(plan); });
}

}  // namespace sv_standin
