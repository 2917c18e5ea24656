// A list field whose text-archive form is exactly that of std::vector<T>
// (count, item version, then the items), but whose loading grows the list
// one item at a time instead of trusting the count: a damaged count can
// therefore never make the reader allocate more than the data it really
// holds. Loading replaces the list only once every item has been read.
//
//   template<class Archive> void serialize(Archive& ar, const unsigned int) {
//       sv_serialization::list_ref<item> items(items_);
//       ar & items;
//   }
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/item_version_type.hpp>
#include <boost/serialization/library_version_type.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/split_member.hpp>
#include <boost/serialization/tracking.hpp>
#include <boost/serialization/version.hpp>

namespace sv_serialization {

template <class T> class list_ref
{
public:
    explicit list_ref(std::vector<T>& items)
        : items_(items)
    { }

    template <class Archive> void save(Archive& ar, const unsigned int /*version*/) const
    {
        const boost::serialization::collection_size_type count(items_.size());
        ar << BOOST_SERIALIZATION_NVP(count);
        const boost::serialization::item_version_type item_version(boost::serialization::version<T>::value);
        ar << BOOST_SERIALIZATION_NVP(item_version);
        for (const T& item : items_)
            ar << boost::serialization::make_nvp("item", item);
    }

    template <class Archive> void load(Archive& ar, const unsigned int /*version*/)
    {
        boost::serialization::collection_size_type count;
        ar >> BOOST_SERIALIZATION_NVP(count);
        boost::serialization::item_version_type item_version(0);
        if (boost::serialization::library_version_type(3) < ar.get_library_version())
            ar >> BOOST_SERIALIZATION_NVP(item_version);
        const std::size_t announced = count;
        std::vector<T> loaded;
        loaded.reserve(std::min<std::size_t>(announced, 256));
        for (std::size_t i = 0; i < announced; ++i) {
            loaded.emplace_back();
            ar >> boost::serialization::make_nvp("item", loaded.back());
        }
        items_.swap(loaded);
    }

    BOOST_SERIALIZATION_SPLIT_MEMBER()

private:
    std::vector<T>& items_;
};

} // namespace sv_serialization

namespace boost {
namespace serialization {
// The wrapper is a short-lived local: never track its address.
template <class T> struct tracking_level<sv_serialization::list_ref<T>>
{
    typedef mpl::integral_c_tag tag;
    typedef mpl::int_<track_never> type;
    BOOST_STATIC_CONSTANT(int, value = tracking_level::type::value);
};
} // namespace serialization
} // namespace boost
