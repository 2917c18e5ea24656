#include "sarvelin_common.h"

#include <algorithm>
#include <locale>

#include <boost/algorithm/string/case_conv.hpp>

namespace sarvelin_common {

bool look_for_answer(const std::vector<std::string>& accepted, std::string answer, bool case_sensitive)
{
    if (!case_sensitive)
        boost::algorithm::to_lower(answer, std::locale());
    return std::find(accepted.begin(), accepted.end(), answer) != accepted.end();
}

bool is_client_answer_yes(const std::string& answer)
{
    static const std::vector<std::string> yes = {"yes", "y", "true", "t"};
    return look_for_answer(yes, answer, false);
}

} // namespace sarvelin_common

namespace digsig_algorithms {

const std::set<std::string>& names()
{
    static const std::set<std::string> all_names
        = {"blake2b512", "blake2s256", "gost", "md4", "md5", "rmd160", "sha1", "sha224", "sha256", "sha384", "sha512"};
    return all_names;
}

bool exists(const std::string& name)
{
    return names().count(name) != 0;
}

std::string show()
{
    std::string out;
    for (const auto& name : names())
        out += name + " ";
    return out;
}

} // namespace digsig_algorithms
