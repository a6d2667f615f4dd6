#include "window/layout_table.h"

#include <array>

namespace main_window {
namespace {

using enum ControlKind;

constexpr FontStyle kBold9{9.0, true};
constexpr FontStyle kBold14{14.25, true};
constexpr FontStyle kRegular11{11.25, false};

// clang-format off
constexpr std::array kLayout = {
    LayoutRow{"Label2", kLabel, "", 150, 1065, 7185, 15, 0, "",
                std::nullopt, std::nullopt, std::nullopt},
    LayoutRow{"Label3", kLabel, "", 45, 45, 7440, 330, 1, "ルカノバ３へようこそ",
                std::nullopt, std::nullopt, kBold14},
    LayoutRow{"Label4", kLabel, "", 105, 435, 7305, 510, 2,
                "既存のカンマ区切りデータファイル(*.txt/*.csv)を、運賃表示器(Ver3)のデータファイル形式*.hy3に変換します。"
                "下の手順で行うと簡単にコンバートできます。",
                kLightYellow, kRed, kRegular11},
    LayoutRow{"Label5", kLabel, "", 120, 4770, 7305, 750, 3, "",
                std::nullopt, std::nullopt, std::nullopt},
    LayoutRow{"Label6", kLabel, "", 135, 1125, 7290, 1125, 4,
                "確認、すぐ変換できるファイルがありますか？", kCyan, kRed, kBold9},
    LayoutRow{"Frame1", kFrame, "", 210, 1320, 1620, 855, 5, "",
                kCyan, std::nullopt, std::nullopt},
    LayoutRow{"Option1_0", kOptionButton, "Frame1", 165, 210, 1275, 180, 6, "はい(&Y)",
                kCyan, kOptionText, std::nullopt},
    LayoutRow{"Option1_1", kOptionButton, "Frame1", 150, 570, 1305, 180, 7, "いいえ(&N)",
                kCyan, kOptionText, std::nullopt},
    LayoutRow{"Label7", kLabel, "", 1875, 1410, 5535, 780, 8,
                "左記で「いいえ」と答えた方、このコンバータがテンプレートを提供します。"
                "テンプレートの内容とマニュアルにしたがってテキストファイルを作成してください。",
                kPink, kBlue, std::nullopt},
    LayoutRow{"Command3", kButton, "", 3360, 1830, 3885, 330, 9,
                "コンバータからのテンプレート提供をうける(&S)...",
                std::nullopt, std::nullopt, std::nullopt},
    // The caption keeps the default black text on the black frame, so it never shows.
    LayoutRow{"Frame2", kFrame, "", 135, 2250, 7305, 2460, 10, "Frame2",
                kBlack, kBlack, std::nullopt},
    LayoutRow{"Command2_1", kButton, "Frame2", 5895, 1065, 1200, 300, 11, "参照(&B)...",
                std::nullopt, std::nullopt, std::nullopt},
    LayoutRow{"Text1_1", kTextBox, "Frame2", 180, 1275, 5580, 300, 12, "",
                std::nullopt, std::nullopt, std::nullopt},
    LayoutRow{"Command2_0", kButton, "Frame2", 5910, 195, 1200, 300, 13, "参照(&B)...",
                std::nullopt, std::nullopt, std::nullopt},
    LayoutRow{"Text1_0", kTextBox, "Frame2", 195, 405, 5580, 300, 14, "",
                std::nullopt, std::nullopt, std::nullopt},
    LayoutRow{"Command1", kButton, "Frame2", 5685, 2100, 1470, 300, 15, "コンバート(&C)",
                std::nullopt, std::nullopt, std::nullopt, /*enabled=*/false},
    LayoutRow{"Label1_2", kLabel, "Frame2", 30, 1740, 7200, 735, 16,
                "3.コンバートボタンをクリックしてください。", kLightYellow, std::nullopt, kBold9},
    LayoutRow{"Label1_1", kLabel, "Frame2", 15, 900, 7185, 750, 17,
                "2.変換先を選択してください。", kLightYellow, std::nullopt, kBold9},
    LayoutRow{"Label1_0", kLabel, "Frame2", 15, 165, 7185, 630, 18,
                "1.テキストファイルを選択してください。", kLightYellow, std::nullopt, kBold9},
    // Created last, so it lies above Frame2 and covers the conversion steps.
    LayoutRow{"Picture1", kBlankPanel, "", 120, 2340, 7335, 2400, 19, "",
                std::nullopt, std::nullopt, std::nullopt},
};
// clang-format on

}  // namespace

std::span<const LayoutRow> Form1Layout() {
    return kLayout;
}

}  // namespace main_window
