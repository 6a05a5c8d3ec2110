#pragma once
// Shared by the fuzz targets: a failed property stops the run with the reason,
// so libFuzzer keeps the input as a crash artefact.
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond, what)                                                  \
  do {                                                                          \
    if (!(cond)) {                                                              \
      std::fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", what, __FILE__, \
                   __LINE__);                                                   \
      std::abort();                                                             \
    }                                                                           \
  } while (0)
