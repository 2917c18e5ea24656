// A Boost text archive reader that refuses a string longer than the text
// still unread (instead of allocating whatever length the data announces)
// and a negative number for an unsigned field. Otherwise it reads exactly
// what boost::archive::text_iarchive reads.
#pragma once

#include <istream>
#include <string>
#include <type_traits>

#include <boost/archive/text_iarchive.hpp>

namespace sv_serialization {

class checked_text_iarchive : public boost::archive::text_iarchive_impl<checked_text_iarchive>
{
    typedef boost::archive::text_iarchive_impl<checked_text_iarchive> base;

public:
    explicit checked_text_iarchive(std::istream& is, unsigned int flags = 0)
        : base(is, flags)
    {
        if (0 == (flags & boost::archive::no_header))
            init();
    }
    ~checked_text_iarchive() override { }

    // Primitive loads, called by the serialization machinery.
    using base::load;
    // A number read into an unsigned field must not carry a minus sign
    // (the stream would silently wrap it round).
    template <class T> void load(T& t)
    {
        if (std::is_integral<T>::value && std::is_unsigned<T>::value && !std::is_same<T, bool>::value) {
            is >> std::ws;
            if (is.peek() == '-')
                refuse();
        }
        base::load(t);
    }
    void load(std::string& s);
    void load(char* s);
    void load(wchar_t* s);
    void load(std::wstring& s);

    [[noreturn]] static void refuse();
};

} // namespace sv_serialization

BOOST_SERIALIZATION_REGISTER_ARCHIVE(sv_serialization::checked_text_iarchive)
