#pragma once

#include "fare_model/fare_line_record.h"
#include "fare_model/notice.h"
#include "fare_model/revision_comparison.h"
#include "fare_model/run_error.h"

// The fare model's words, named in the use cases as the model names them.
namespace conversion {

using fare_model::FareLineRecord;
using fare_model::FaresInUse;
using fare_model::kFareCount;
using fare_model::kMaxTableRows;
using fare_model::Notice;
using fare_model::Notices;
using fare_model::Reason;
using fare_model::RecordDifference;
using fare_model::RecordDifferences;
using fare_model::RunError;
namespace error_code = fare_model::error_code;

}  // namespace conversion
