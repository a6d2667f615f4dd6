#pragma once

#include <string>
#include <vector>

namespace hy3conv {

// The whole command line (the arguments after the program's name, in UTF-8): reads the arguments,
// runs the action, and returns the exit status. Throws only for lack of memory or a fault of the
// program's own.
int Run(const std::vector<std::string>& arguments);

}  // namespace hy3conv
