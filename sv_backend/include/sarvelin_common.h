// Yes-answer matching and the digital-signature hash algorithm names.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace sarvelin_common {

// True when `answer` equals one of `accepted` exactly; with
// case_sensitive false the answer is lower-cased first. No trimming.
bool look_for_answer(const std::vector<std::string>& accepted, std::string answer, bool case_sensitive);

// "yes", "y", "true" or "t" in any letter case.
bool is_client_answer_yes(const std::string& answer);

} // namespace sarvelin_common

namespace digsig_algorithms {

// The names, in ascending byte order.
const std::set<std::string>& names();
// Exact, case-sensitive membership.
bool exists(const std::string& name);
// Every name followed by one space.
std::string show();

} // namespace digsig_algorithms
