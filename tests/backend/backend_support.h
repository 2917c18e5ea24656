// Backend test helpers on std::string: comparisons, whole files, captured output.
#ifndef SV_TESTS_BACKEND_SUPPORT_H
#define SV_TESTS_BACKEND_SUPPORT_H

#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <QByteArray>

#include <iostream>
#include <sstream>
#include <string>

inline QByteArray B(const std::string& s)
{
    return QByteArray::fromStdString(s);
}

inline std::string read_file(const std::string& path)
{
    return readFile(QString::fromStdString(path)).toStdString();
}

inline void write_file(const std::string& path, const std::string& text)
{
    writeFile(QString::fromStdString(path), B(text));
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
