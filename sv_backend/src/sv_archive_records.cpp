#include "sv_archive_records.h"

std::string sv_verification_status_text(std::uint32_t code)
{
    switch (code) {
    case 1:
        return "Not Verified";
    case 2:
        return "Verification failed";
    case 3:
        return "Verified";
    case 4:
        return "Unreliable";
    case 5:
        return "Mistrusted";
    case 6:
        return "Trusted";
    case 7:
        return "Broken chain";
    default:
        return "Wrong status";
    }
}

std::string sv_archive_short::verification_status_str() const
{
    return sv_verification_status_text(verification_status);
}
