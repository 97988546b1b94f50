// The project version every program of this code base answers --version with (all OSes).
#pragma once

namespace kelv {

// When the first argument is --version, prints "PROGRAM VERSION" and a line break on
// standard output (VERSION is the project version set in CMake, e.g. "acc2tsql 4.1.0.61")
// and returns true; the caller then ends with status 0. Otherwise prints nothing and
// returns false.
bool ShowVersionIfAsked(int argc, char** argv, const char* program);

}  // namespace kelv
