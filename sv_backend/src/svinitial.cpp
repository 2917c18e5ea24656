#include "svinitial.h"

#include "sv_shared_paths.h"

SVinitial::SVinitial()
    : dbname_("sarvelin")
    , user_("sarvelin")
    , password_("31415")
    , port_("5432")
    , host_("127.0.0.1")
    , log_file_(sv_paths::clientLogFile)
    , parallelism_(8)
    , media_parallelism_(0)
{ }
