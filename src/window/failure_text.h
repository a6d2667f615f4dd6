#pragma once

#include <QString>
#include <string>

#include "conversion/wording.h"
#include "fare_model/run_error.h"
#include "window/utf8_text.h"

namespace main_window {

// "62:ファイルにこれ以上データがありません。" and the explanation, if there is one, on the
// next line.
inline QString FailureText(const fare_model::RunError& error) {
    QString text = FromUtf8(conversion::CodeAndDescription(error));
    const std::string explanation = conversion::ExplanationText(error);
    if (!explanation.empty()) {
        text += QLatin1Char('\n') + FromUtf8(explanation);
    }
    return text;
}

// The same on one line.
inline QString FailureLine(const fare_model::RunError& error) {
    return FailureText(error).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

}  // namespace main_window
