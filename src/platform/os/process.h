#pragma once

namespace platform {

// A closed pipe on standard output must come back as a failed write, reported, not as a
// silent end of the program.
void ReportClosedPipesAsWriteErrors();

}  // namespace platform
