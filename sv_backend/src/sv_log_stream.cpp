#include "sv_log_stream.h"

#include <unistd.h>

#include <cctype>
#include <ctime>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

#include <boost/algorithm/string/replace.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/algorithm/string/trim_all.hpp>

#include "sv_config_file.h"

namespace SvLogLvl {

namespace {

// Value to name, built once from the names in value order; the first name
// entered for a value is kept.
const std::map<std::uint32_t, std::string>& name_table()
{
    static const std::map<std::uint32_t, std::string> table = [] {
        const std::string names = "Error, Warning, Info, Debug, Debug1, Debug2, Debug3, Debug4, FuncBase, "
                                  "FuncDetail, FuncCycle, FuncAny, Measure, SqlReq, ErrorMask, WarningMask, "
                                  "InfoMask, DebugMask, Debug1Mask, Debug2Mask, Debug3Mask, Debug4Mask, FuncAll";
        const std::uint32_t values[] = {Error, Warning, Info, Debug, Debug1, Debug2, Debug3, Debug4, FuncBase,
            FuncDetail, FuncCycle, FuncAny, Measure, SqlReq, ErrorMask, WarningMask, InfoMask, DebugMask, Debug1Mask,
            Debug2Mask, Debug3Mask, Debug4Mask, FuncAll};
        std::vector<std::string> words;
        std::string word;
        for (char c : names) {
            if (c == ',')
                continue;
            if (std::isspace(static_cast<unsigned char>(c))) {
                if (!word.empty())
                    words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        if (!word.empty())
            words.push_back(word);
        std::map<std::uint32_t, std::string> t;
        for (std::size_t i = 0; i < words.size() && i < sizeof(values) / sizeof(values[0]); ++i)
            t.emplace(values[i], words[i]);
        return t;
    }();
    return table;
}

} // namespace

std::string to_string(Level level)
{
    const auto& table = name_table();
    auto found = table.find(level);
    return found == table.end() ? std::string("Unknown") : found->second;
}

bool from_string(const std::string& name, Level& out)
{
    for (const auto& entry : name_table()) {
        if (entry.second == name) {
            out = static_cast<Level>(entry.first);
            return true;
        }
    }
    return false;
}

std::uint32_t get_mask(Level level)
{
    static const std::uint32_t singles[] = {Error, Warning, Info, Debug, Debug1, Debug2, Debug3, Debug4, FuncBase,
        FuncDetail, FuncCycle, FuncAny, Measure, SqlReq};
    static const std::uint32_t masks[]
        = {ErrorMask, WarningMask, InfoMask, DebugMask, Debug1Mask, Debug2Mask, Debug3Mask, Debug4Mask, FuncAll};
    bool single = false;
    for (std::uint32_t s : singles)
        single = single || (s == static_cast<std::uint32_t>(level));
    if (!single)
        return level;
    for (std::uint32_t m : masks)
        if (m & level)
            return m;
    return level;
}

} // namespace SvLogLvl

std::ostream& sv_unicout()
{
    return std::cout;
}

namespace SvDestination {

std::uint64_t FileLogger::max_size_ = 1048576;
std::uint64_t FileLogger::max_rotate_ = 10;

void FileLogger::set_max_size(std::uint64_t megabytes)
{
    const std::uint64_t unit = 1048576;
    max_size_ = megabytes > std::numeric_limits<std::uint64_t>::max() / unit ? std::numeric_limits<std::uint64_t>::max()
                                                                             : megabytes * unit;
}

void FileLogger::set_max_rotate(std::uint64_t count)
{
    max_rotate_ = count;
}

int SvLogger::write_log(const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!time_stamp_)
        return write_log_impl(text);
    char stamp[64] = {0};
    std::time_t now = std::time(nullptr);
    std::tm local {};
    if (localtime_r(&now, &local) == nullptr || std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %X", &local) == 0)
        stamp[0] = '\0';
    return write_log_impl(std::string("[") + stamp + "] " + text);
}

int StdoutLogger::write_log_impl(const std::string& text)
{
    sv_unicout() << text;
    sv_unicout().flush();
    return 0;
}

std::shared_ptr<SvLogger> Stdout()
{
    return std::make_shared<StdoutLogger>();
}

} // namespace SvDestination

std::uint32_t SvLogStream::global_log_level_ = SvLogLvl::InfoMask;
bool SvLogStream::m_logging_enabled = true;
bool SvLogStream::read_config_ = true;
std::string SvLogStream::tag_;
SvLogStream::destination_list SvLogStream::default_loggers_;
std::map<std::uint32_t, SvLogStream::destination_list> SvLogStream::log_level_mask_default_loggers_;

namespace {

// The leading decimal digits of a text; 0 when there are none. Saturates.
std::uint64_t leading_unsigned(const std::string& text)
{
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::numeric_limits<std::uint64_t>::max();
        value = value * 10 + digit;
    }
    return value;
}

const char* colour_of(SvLogLvl::Level level)
{
    switch (level) {
    case SvLogLvl::Error:
        return "\033[1;31m";
    case SvLogLvl::Warning:
        return "\033[1;33m";
    case SvLogLvl::Debug:
        return "\033[1;97m";
    default:
        return nullptr;
    }
}

} // namespace

const char* SvLogStream::config_path()
{
    return "/opt/sarvelin/etc/sv_logger.config";
}

SvLogStream::SvLogStream(SvLogLvl::Level level)
    : level_(level)
{
    if (read_config_) {
        if (load_properties() < 1)
            set_properties(SvLogLvl::Info, 1, 10);
        read_config_ = false;
    }
    if (!tag_.empty())
        text_ << tag_ << "[" << ::getpid() << "] ";
    text_ << SvLogLvl::to_string(level_) << ": ";
}

SvLogStream::~SvLogStream()
{
    try {
        deliver();
    } catch (...) {
        // A log line must never take the program down.
    }
}

void SvLogStream::deliver()
{
    if (!(global_log_level_ & level_) || !m_logging_enabled)
        return;
    bool per_mask = false;
    for (const auto& entry : log_level_mask_default_loggers_)
        per_mask = per_mask || ((entry.first & level_) && !entry.second.empty());
    if (own_.empty() && default_loggers_.empty() && !per_mask)
        own_.push_back(SvDestination::Stdout());

    std::string text = text_.str();
    if (const char* colour = colour_of(level_)) {
        boost::algorithm::trim_all(text);
        boost::algorithm::replace_all(text, "\n", std::string(" \033[0m\n") + colour);
        text = colour + text + " \033[0m\n";
    }

    auto write_all = [&text](const destination_list& list) {
        for (const auto& destination : list)
            if (destination)
                destination->write_log(text);
    };
    if (!own_.empty()) {
        write_all(own_);
    } else if (per_mask) {
        for (const auto& entry : log_level_mask_default_loggers_)
            if (entry.first & level_)
                write_all(entry.second);
    } else {
        write_all(default_loggers_);
    }
}

int SvLogStream::load_properties()
{
    try {
        sv_config::ConfigFile config(config_path());
        std::string level_text, size_text, rotate_text;
        try {
            level_text = config["log_level"];
            size_text = config["log_file_max_size"];
            rotate_text = config["log_file_max_rotate"];
        } catch (const sv_config::VariableAbsentException& e) {
            std::cerr << "Warning: SvLogStream config variable is absent: " << e.what() << std::endl;
            return 0;
        }
        SvLogLvl::Level level = SvLogLvl::Info;
        boost::algorithm::trim_all(level_text);
        SvLogLvl::from_string(level_text, level);
        global_log_level_ = SvLogLvl::get_mask(level);
        SvDestination::FileLogger::set_max_size(leading_unsigned(size_text));
        SvDestination::FileLogger::set_max_rotate(leading_unsigned(rotate_text));
        return 1;
    } catch (const sv_config::WrongConfigException& e) {
        std::cerr << "Warning: SvLogStream config file is absent: " << e.what() << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "Warning: SvLogStream config file is absent: " << e.what() << std::endl;
    }
    return 0;
}

void SvLogStream::set_properties(SvLogLvl::Level level, unsigned long max_size_mb, unsigned long max_rotate)
{
    global_log_level_ = SvLogLvl::get_mask(level);
    SvDestination::FileLogger::set_max_size(max_size_mb);
    SvDestination::FileLogger::set_max_rotate(max_rotate);
    try {
        sv_config::ConfigFile config;
        config.addComment("Logging level: Error, Warning, Info, Debug, Debug1, Debug2, Debug3, Debug4");
        config.addVariable("log_level", SvLogLvl::to_string(level));
        config.addComment("Maximum size of log file in Mb");
        config.addVariable("log_file_max_size", std::to_string(max_size_mb));
        config.addComment("Number of stored log file rotations, log file itself is not included");
        config.addVariable("log_file_max_rotate", std::to_string(max_rotate));
        config.save(config_path());
    } catch (...) {
        // The defaults are in force for this process whatever the write gave.
    }
}
