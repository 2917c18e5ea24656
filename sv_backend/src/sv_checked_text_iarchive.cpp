#include "sv_checked_text_iarchive.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_iarchive.ipp>
#include <boost/archive/impl/text_iarchive_impl.ipp>
#include <boost/serialization/throw_exception.hpp>

namespace boost {
namespace archive {
template class detail::archive_serializer_map<sv_serialization::checked_text_iarchive>;
template class basic_text_iarchive<sv_serialization::checked_text_iarchive>;
template class text_iarchive_impl<sv_serialization::checked_text_iarchive>;
} // namespace archive
} // namespace boost

namespace sv_serialization {

void checked_text_iarchive::refuse()
{
    throw boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error);
}

namespace {
[[noreturn]] void stream_error()
{
    checked_text_iarchive::refuse();
}
} // namespace

void checked_text_iarchive::load(std::string& s)
{
    std::size_t size = 0;
    *this->This() >> size;
    // A separating space, then the characters themselves must still be there.
    const std::streamsize left = is.rdbuf()->in_avail();
    if (size > 0 && (left < 1 || size > static_cast<std::size_t>(left - 1)))
        stream_error();
    is.get();
    s.resize(size);
    if (size > 0) {
        is.read(&s[0], static_cast<std::streamsize>(size));
        if (static_cast<std::size_t>(is.gcount()) != size)
            stream_error();
    }
}

// Raw character arrays and wide strings never occur in the records read
// here; refuse them rather than write past a buffer of unknown size.
void checked_text_iarchive::load(char*)
{
    stream_error();
}
void checked_text_iarchive::load(wchar_t*)
{
    stream_error();
}
void checked_text_iarchive::load(std::wstring&)
{
    stream_error();
}

} // namespace sv_serialization
