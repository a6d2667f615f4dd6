#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace main_window {

// Layout values are in twips (1/1440 inch); the window shows them at 15 twips per
// device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

inline constexpr int TwipsToPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline constexpr std::string_view kWindowCaption = "ルカノバ 3";
inline constexpr int kClientWidthTwips = 7560;
inline constexpr int kClientHeightTwips = 5625;

// Every text in the window is drawn in this face; a font substitution maps it to an
// installed Japanese gothic.
inline constexpr std::string_view kFontFamily = "ＭＳ Ｐゴシック";
inline constexpr double kWindowFontPointSize = 9.0;

enum class ControlKind { kLabel, kFrame, kOptionButton, kButton, kTextBox, kBlankPanel };

struct Rgb {
    int red;
    int green;
    int blue;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kCyan{0, 255, 255};
inline constexpr Rgb kLightYellow{255, 255, 192};
inline constexpr Rgb kPink{255, 192, 255};
inline constexpr Rgb kOptionText{128, 128, 255};
// The status label blinks between these two after a failed conversion.
inline constexpr Rgb kLightGrey{192, 192, 192};
inline constexpr Rgb kYellow{255, 255, 0};

struct FontStyle {
    double pointSize;
    bool bold;
};

// One control of the window. Controls are built in table order, which is also the tab
// order and the stacking order, except that labels are drawn on their container, under
// every other control of it.
struct LayoutRow {
    std::string_view name;  // the widget's object name, e.g. "Text1_0" for Text1(0)
    ControlKind kind;
    std::string_view container;    // empty for the window itself
    int left, top, width, height;  // twips, relative to the container
    int tabIndex;
    std::string_view caption;       // "&" marks the access key
    std::optional<Rgb> background;  // none: the style's button-face colour
    std::optional<Rgb> textColour;  // none: the style's text colour
    std::optional<FontStyle> font;  // none: the window's font
    bool enabled = true;
};

// The window's controls, by container and tab order.
std::span<const LayoutRow> Form1Layout();

}  // namespace main_window
