#pragma once

#include "platform/os/code_page.h"

namespace test_support {

// The system's code page 932, as the program hands it to the fare model.
inline fare_model::Cp932& SystemCp932() {
    static platform::Cp932Codec codec;
    return codec;
}

}  // namespace test_support
