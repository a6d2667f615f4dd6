#pragma once

namespace hy3conv {

// The whole command line: reads the arguments, runs the action, and returns the exit
// status. Throws only for lack of memory or a fault of the program's own.
int Run(int argc, char** argv);

}  // namespace hy3conv
