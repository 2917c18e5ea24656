// libFuzzer target for the client core configuration reader. The log
// streams are kept away from their settings file and their output dropped.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "coreconfig.h"
#include "sv_log_stream.h"

namespace {
std::string path;
// Never destroyed: standard output still points at it while the program ends.
std::ostringstream* sink = new std::ostringstream;

void remove_file()
{
    std::remove(path.c_str());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    path = "/tmp/sv-fuzz-core-" + std::to_string(::getpid()) + ".conf";
    std::atexit(remove_file);
    SvLogStream::read_config_ = false; // never touch /opt here
    std::cout.rdbuf(sink->rdbuf());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    SVcoreConfig config(path);
    // The timeout check always leaves a consistent pair.
    const std::uint64_t ping = config.get_client_ping_timeout();
    const std::uint64_t alive = config.get_client_alive_timeout();
    if (alive < 60 || alive < 2 * ping)
        std::abort();
    const std::uint32_t block = config.get_SVD_block_size();
    if (block < 1 || block > 1048576)
        std::abort();
    if (config.get_deduplication_task_memory() < 16384)
        std::abort();
    sink->str(std::string());
    return 0;
}
