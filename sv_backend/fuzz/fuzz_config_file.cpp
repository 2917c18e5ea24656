// libFuzzer target for the settings file reader: load, look up, edit, copy
// and save whatever bytes the file holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "sv_config_file.h"

namespace {
std::string in_path, out_path;

void remove_files()
{
    std::remove(in_path.c_str());
    std::remove(out_path.c_str());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string base = "/tmp/sv-fuzz-config-" + std::to_string(::getpid());
    in_path = base + ".in";
    out_path = base + ".out";
    std::atexit(remove_files);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream out(in_path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        sv_config::ConfigFile cfg(in_path);
        sv_config::ConfigFile copy(cfg);
        for (const auto& entity : cfg) {
            const std::string line = entity->get();
            if (entity->getType() == sv_config::variable_entity) {
                const auto& v = static_cast<const sv_config::Variable&>(*entity);
                if (copy[v.getName()] != v.getValue())
                    std::abort();
            } else if (!copy.commentExists(line)) {
                std::abort();
            }
        }
        copy.addVariable("fuzz", "value");
        copy.removeVariable("fuzz");
        if (!cfg.save(out_path))
            std::abort();
        // What was saved reads back to the same lines.
        sv_config::ConfigFile again(out_path);
        auto a = cfg.begin();
        auto b = again.begin();
        for (; a != cfg.end() && b != again.end(); ++a, ++b)
            if ((*a)->get() != (*b)->get() || (*a)->getType() != (*b)->getType())
                std::abort();
        if (a != cfg.end() || b != again.end())
            std::abort();
        cfg.clear();
    } catch (const sv_config::WrongConfigException&) {
        std::abort(); // the file exists: it must open
    } catch (const sv_config::VariableAbsentException&) {
        std::abort();
    }
    return 0;
}
