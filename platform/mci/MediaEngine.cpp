#include "platform/mci/MediaEngine.h"

#include <gst/gst.h>

namespace mci {

void InitMedia(int* argc, char*** argv)
{
    gst_init(argc, argv);
}

void ShutdownMedia()
{
    gst_deinit();
}

}  // namespace mci
