#pragma once

// The program's version, the one place it is written: the windows show it and the build reads it from here.
#define SELVANE_VERSION "3.01"

inline constexpr char kVersion[] = SELVANE_VERSION;
