#include "conversion/place_wording.h"

namespace conversion {

std::string PlaceText(int line, std::optional<int> field, const std::string& cell) {
    std::string place = std::to_string(line) + "行目";
    if (field) {
        place += std::to_string(*field) + "列目";
    }
    if (!cell.empty()) {
        place += "（" + cell + "）";
    }
    return place;
}

}  // namespace conversion
