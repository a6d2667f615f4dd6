#pragma once

#include <optional>
#include <string>

// Part of the wording module (wording.h).
namespace conversion {

// The place of a problem: "12行目", "12行目5列目", followed by the source's own name for the
// cell where it has one: "12行目5列目（運賃!C12）".
std::string PlaceText(int line, std::optional<int> field = std::nullopt,
                      const std::string& cell = {});

}  // namespace conversion
