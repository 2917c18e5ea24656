// Backend test helpers: byte-exact std::string comparisons, whole-file I/O,
// captured standard output and error.
#ifndef SV_TESTS_BACKEND_SUPPORT_H
#define SV_TESTS_BACKEND_SUPPORT_H

#include "../common/sandbox_guard.h"

#include <QByteArray>

#include <fstream>
#include <iostream>
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

// What standard output and standard error receive while it lives.
class captured_output
{
public:
    captured_output()
        : out_(std::cout.rdbuf(o_.rdbuf()))
        , err_(std::cerr.rdbuf(e_.rdbuf()))
    { }
    ~captured_output()
    {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(err_);
    }
    std::string out() const { return o_.str(); }
    std::string err() const { return e_.str(); }

private:
    std::ostringstream o_, e_;
    std::streambuf* out_;
    std::streambuf* err_;
};

#endif // SV_TESTS_BACKEND_SUPPORT_H
