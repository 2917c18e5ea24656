// Database connection settings and the log file path shared by the suite's
// programs.
#pragma once

#include <cstdint>
#include <string>

class SVinitial
{
public:
    SVinitial();
    virtual ~SVinitial() = default;

    std::string get_dbname() const { return dbname_; }
    std::string get_user() const { return user_; }
    std::string get_password() const { return password_; }
    std::string get_port() const { return port_; }
    std::string get_host() const { return host_; }
    std::string get_sslmode() const { return sslmode_; }
    std::string get_sslrootcert() const { return sslrootcert_; }
    std::string get_sslcert() const { return sslcert_; }
    std::string get_sslkey() const { return sslkey_; }
    std::string get_log_file() const { return log_file_; }
    std::int32_t get_parallelism() const { return parallelism_; }
    std::int32_t get_media_parallelism() const { return media_parallelism_; }

protected:
    std::string dbname_;
    std::string user_;
    std::string password_;
    std::string port_;
    std::string host_;
    std::string sslmode_;
    std::string sslrootcert_;
    std::string sslcert_;
    std::string sslkey_;
    std::string log_file_;
    std::int32_t parallelism_;
    std::int32_t media_parallelism_;
};
