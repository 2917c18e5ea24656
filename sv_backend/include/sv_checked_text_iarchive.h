// A Boost text archive reader that refuses a string longer than the text
// still unread, instead of allocating whatever length the data announces.
// Otherwise it reads exactly what boost::archive::text_iarchive reads.
#pragma once

#include <istream>
#include <string>

#include <boost/archive/text_iarchive.hpp>

namespace sv_serialization {

class checked_text_iarchive
    : public boost::archive::text_iarchive_impl<checked_text_iarchive> {
    typedef boost::archive::text_iarchive_impl<checked_text_iarchive> base;

public:
    explicit checked_text_iarchive(std::istream& is, unsigned int flags = 0)
        : base(is, flags)
    {
        if (0 == (flags & boost::archive::no_header))
            init();
    }
    ~checked_text_iarchive() override {}

    // Primitive loads, called by the serialization machinery.
    using base::load;
    void load(std::string& s);
    void load(char* s);
    void load(wchar_t* s);
    void load(std::wstring& s);
};

} // namespace sv_serialization

BOOST_SERIALIZATION_REGISTER_ARCHIVE(sv_serialization::checked_text_iarchive)
