#include "platform/os/run_error.h"

namespace platform {

std::string DescriptionForCode(int code) {
    switch (code) {
        case error_code::kInvalidData:
            return "プロシージャの呼び出し、または引数が不正です。";
        case error_code::kOverflow:
            return "オーバーフローしました。";
        case error_code::kOutOfMemory:
            return "メモリが不足しています。";
        case error_code::kSubscriptOutOfRange:
            return "インデックスが有効範囲にありません。";
        case error_code::kTypeMismatch:
            return "型が一致しません。";
        case error_code::kInternal:
            return "内部エラーです。";
        case error_code::kBadFileName:
            return "ファイル名または番号が不正です。";
        case error_code::kFileNotFound:
            return "ファイルが見つかりません。";
        case error_code::kDeviceIo:
            return "デバイス I/O エラーです。";
        case error_code::kDiskFull:
            return "ディスクの空き容量が不足しています。";
        case error_code::kInputPastEnd:
            return "ファイルにこれ以上データがありません。";
        case error_code::kTooManyFiles:
            return "ファイルが多すぎます。";
        case error_code::kDeviceUnavailable:
            return "デバイスが準備されていません。";
        case error_code::kPermissionDenied:
            return "書き込みできません。";
        case error_code::kDiskNotReady:
            return "ディスクが準備されていません。";
        case error_code::kPathFileAccess:
            return "パス名が無効です。";
        case error_code::kPathNotFound:
            return "パスが見つかりません。";
        case error_code::kBadFileFormat:
            return "ファイル形式が不正です。";
        default:
            return {};
    }
}

}  // namespace platform
