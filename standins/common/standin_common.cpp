#include "standin_common.h"

#include <crypt.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

namespace sv_standin {

std::string state_dir()
{
    const char* d = std::getenv("SV_STANDINS_DIR");
    return (d && *d) ? d : "/opt/sarvelin/standins";
}

std::string scenario_path()
{
    const char* f = std::getenv("SV_SCENARIO_FILE");
    return (f && *f) ? f : state_dir() + "/scenario.ini";
}

std::string requests_log_path()
{
    return state_dir() + "/requests.log";
}
std::string calls_log_path()
{
    return state_dir() + "/calls.log";
}
std::string daemon_pid_path()
{
    return state_dir() + "/sv_keyclientd.pid";
}
std::string backup_task_path()
{
    return state_dir() + "/backup.task";
}

std::string own_folder()
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return ".";
    std::string p(buf, static_cast<std::size_t>(n));
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

void append_log(const std::string& path, const std::string& line)
{
    std::ofstream out(path, std::ios::app);
    if (!out)
        return;
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    char stamp[32];
    std::snprintf(
        stamp, sizeof(stamp), "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    out << stamp << ' ' << line << '\n';
}

std::string printable(const std::string& bytes, std::size_t limit)
{
    std::string out;
    const std::size_t n = bytes.size() < limit ? bytes.size() : limit;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == 0)
            out += "\\0";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c == 0x7f) {
            char b[8];
            std::snprintf(b, sizeof(b), "\\x%02x", c);
            out += b;
        } else
            out += static_cast<char>(c);
    }
    if (n < bytes.size())
        out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

int spawn_detached(const std::string& program, const std::vector<std::string>& args)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::setsid();
        // A second fork: the program is re-parented and never becomes a
        // zombie of the caller.
        const pid_t inner = ::fork();
        if (inner != 0)
            ::_exit(inner < 0 ? 1 : 0);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (null > 2)
                ::close(null);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return (WIFEXITED(status) && WEXITSTATUS(status) == 0) ? 0 : -1;
}

int read_pid_file(const std::string& path)
{
    std::ifstream in(path);
    int pid = 0;
    if (in >> pid)
        return pid > 0 ? pid : 0;
    return 0;
}

bool process_alive(int pid)
{
    if (pid <= 0)
        return false;
    if (::kill(pid, 0) != 0)
        return errno == EPERM;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = all.rfind(')');
    if (close == std::string::npos || close + 2 >= all.size())
        return true;
    return all[close + 2] != 'Z';
}

void sleep_seconds(double seconds)
{
    if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string md5_crypt(const std::string& password, const std::string& setting)
{
    struct crypt_data data
    { };
    const char* r = ::crypt_r(password.c_str(), setting.c_str(), &data);
    if (!r || r[0] == '*')
        return std::string();
    return r;
}

bool password_matches(const std::string& password, const std::string& hash)
{
    const std::string salt = password_salt;
    return hash.compare(0, salt.size(), salt) == 0 && md5_crypt(password, salt) == hash;
}

} // namespace sv_standin
