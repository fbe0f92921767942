#include "platform/drives/CdioSetup.h"

#include <cdio/logging.h>
#include <mutex>

namespace drives {
namespace {

void DropMessage(cdio_log_level_t, const char*) {}

}  // namespace

void InitCdio()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { cdio_log_set_handler(DropMessage); });
}

}  // namespace drives
