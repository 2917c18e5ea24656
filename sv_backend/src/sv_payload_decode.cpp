#include "sv_payload_decode.h"

#include <exception>
#include <new>
#include <istream>
#include <sstream>
#include <streambuf>

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/text_oarchive.hpp>
#include <boost/serialization/utility.hpp>
#include <boost/serialization/vector.hpp>

#include "sv_checked_text_iarchive.h"

namespace sv_payload {

namespace {

// Length of the archive text without the zero bytes that pad the last
// received part.
std::size_t archive_text_length(const std::string& payload)
{
    const std::string::size_type end = payload.find_last_not_of('\0');
    return end == std::string::npos ? 0 : end + 1;
}

// Reads a range of characters in place, without copying the payload.
class view_buffer : public std::streambuf
{
public:
    view_buffer(const char* data, std::size_t size)
    {
        char* begin = const_cast<char*>(data);
        setg(begin, begin, begin + size);
    }
};

template <class T>
bool decode_list(const std::string& payload, std::vector<T>& out, std::string& error, const char* what) noexcept
{
    try {
        const std::size_t length = archive_text_length(payload);
        if (length == 0) {
            error = std::string("The ") + what + " is empty: no data was received";
            return false;
        }
        view_buffer buffer(payload.data(), length);
        std::istream stream(&buffer);
        std::vector<T> decoded;
        {
            sv_serialization::checked_text_iarchive archive(stream);
            sv_serialization::list_ref<T> list(decoded);
            archive >> list;
        }
        out.swap(decoded);
        return true;
    } catch (const boost::archive::archive_exception& e) {
        error = std::string("The ") + what + " received is damaged and was not read: " + e.what();
    } catch (const std::bad_alloc&) {
        error = std::string("The ") + what + " received is too large to be read";
    } catch (const std::exception& e) {
        error = std::string("The ") + what + " received could not be read: " + e.what();
    } catch (...) {
        error = std::string("The ") + what + " received could not be read";
    }
    return false;
}

template <class T> std::string encode_list(const std::vector<T>& items)
{
    try {
        std::ostringstream stream;
        {
            boost::archive::text_oarchive archive(stream);
            archive << items;
        }
        return stream.str();
    } catch (...) {
        return std::string();
    }
}

} // namespace

bool decode_client_list(const std::string& payload, client_list& out, std::string& error) noexcept
{
    return decode_list(payload, out, error, "client list");
}

bool decode_archive_list(const std::string& payload, std::vector<sv_archive_short>& out, std::string& error) noexcept
{
    return decode_list(payload, out, error, "archive list");
}

bool decode_recovery_plan(
    const std::string& payload, std::vector<disaster_recovery_plan_record>& out, std::string& error) noexcept
{
    return decode_list(payload, out, error, "disaster recovery plan");
}

std::string encode_client_list(const client_list& clients)
{
    return encode_list(clients);
}

std::string encode_archive_list(const std::vector<sv_archive_short>& archives)
{
    return encode_list(archives);
}

std::string encode_recovery_plan(const std::vector<disaster_recovery_plan_record>& plan)
{
    return encode_list(plan);
}

} // namespace sv_payload
