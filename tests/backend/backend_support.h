// Backend test helpers: byte-exact std::string comparisons, whole-file I/O.
#ifndef SV_TESTS_BACKEND_SUPPORT_H
#define SV_TESTS_BACKEND_SUPPORT_H

#include "../common/sandbox_guard.h"

#include <QByteArray>

#include <fstream>
#include <sstream>
#include <string>

inline QByteArray B(const std::string& s)
{
    return QByteArray::fromStdString(s);
}

inline std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_file(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

#endif // SV_TESTS_BACKEND_SUPPORT_H
