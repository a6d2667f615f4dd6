#include "platform/desktop/font_configuration.h"

#include <system_error>

#ifdef RUKANOBA_FONTS_FROM_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace platform {

FontConfigurationReadAhead::FontConfigurationReadAhead() {
#ifdef RUKANOBA_FONTS_FROM_FONTCONFIG
    try {
        // FcInit makes the configuration it reads the current one; Qt's own FcInit then finds it.
        reader_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: Qt reads the configuration itself, as it would anyway.
    }
#endif
}

FontConfigurationReadAhead::~FontConfigurationReadAhead() {
    Wait();
}

void FontConfigurationReadAhead::Wait() {
    if (reader_.joinable()) {
        reader_.join();
    }
}

}  // namespace platform
