// Stream-style logging with levels and masks. A short-lived SvLogStream
// collects one message and emits it, filtered by the process-wide mask, when
// it is destroyed:
//
//   SvLogStream(SvLogLvl::Warning) << "Wrong value at " << n << std::endl;
//
// The level and the log file limits come from
// "/opt/sarvelin/etc/sv_logger.config", read once at the first stream; a
// missing or incomplete file is rewritten with the defaults.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>

namespace SvLogLvl {

enum Level : std::uint32_t {
    Error = 1,
    Warning = 2,
    Info = 4,
    Debug = 8,
    Debug1 = 16,
    Debug2 = 32,
    Debug3 = 64,
    Debug4 = 128,
    FuncBase = 256,
    FuncDetail = 512,
    FuncCycle = 1024,
    FuncAny = 2048,
    Measure = 65536,
    SqlReq = 131072
};

enum MaskLevel : std::uint32_t {
    ErrorMask = 1,
    WarningMask = 3,
    InfoMask = 7,
    DebugMask = 15,
    Debug1Mask = 31,
    Debug2Mask = 63,
    Debug3Mask = 127,
    Debug4Mask = 255,
    FuncAll = 3840
};

// Name of a level or mask value; "Unknown" when it has none.
std::string to_string(Level level);
// Exact, case-sensitive lookup; `out` is untouched when the name is unknown.
bool from_string(const std::string& name, Level& out);
// The first mask covering a single level; anything else is returned as is.
std::uint32_t get_mask(Level level);

} // namespace SvLogLvl

// The process's standard output stream.
std::ostream& sv_unicout();

namespace SvDestination {

class SvLogger
{
public:
    SvLogger() = default;
    SvLogger(const SvLogger&) = delete;
    SvLogger& operator=(const SvLogger&) = delete;
    virtual ~SvLogger() = default;
    // Adds the time stamp (when enabled) and writes, under this
    // destination's mutex.
    int write_log(const std::string& text);
    void set_time_stamp(bool on) { time_stamp_ = on; }
    bool time_stamp() const { return time_stamp_; }

protected:
    virtual int write_log_impl(const std::string& text) = 0;

private:
    std::mutex mutex_;
    bool time_stamp_ = true;
};

class StdoutLogger : public SvLogger
{
protected:
    int write_log_impl(const std::string& text) override;
};

// A new standard-output destination.
std::shared_ptr<SvLogger> Stdout();

// Limits of the log files; only the limits are kept here.
class FileLogger
{
public:
    static void set_max_size(std::uint64_t megabytes);
    static void set_max_rotate(std::uint64_t count);
    static std::uint64_t max_size_;
    static std::uint64_t max_rotate_;
};

} // namespace SvDestination

class SvLogStream
{
public:
    typedef std::list<std::shared_ptr<SvDestination::SvLogger>> destination_list;

    explicit SvLogStream(SvLogLvl::Level level);
    SvLogStream(const SvLogStream&) = delete;
    SvLogStream& operator=(const SvLogStream&) = delete;
    ~SvLogStream();

    template <class T> SvLogStream& operator<<(const T& value)
    {
        text_ << value;
        return *this;
    }
    SvLogStream& operator<<(std::ostream& (*manipulator)(std::ostream&))
    {
        manipulator(text_);
        return *this;
    }

    // 1 when the settings file was read completely, 0 otherwise.
    static int load_properties();
    // Applies level, log file size (megabytes) and rotation count, and
    // rewrites the settings file.
    static void set_properties(SvLogLvl::Level level, unsigned long max_size_mb, unsigned long max_rotate);
    static const char* config_path();
    // 1: the stream's own destinations take precedence.
    int delivery_mode() const { return mode_; }

    static std::uint32_t global_log_level_;
    static bool m_logging_enabled;
    static bool read_config_;
    static std::string tag_;
    static destination_list default_loggers_;
    static std::map<std::uint32_t, destination_list> log_level_mask_default_loggers_;

private:
    void deliver();

    std::ostringstream text_;
    SvLogLvl::Level level_;
    destination_list own_;
    int mode_ = 1;
};
