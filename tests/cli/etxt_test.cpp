// etxt run as a child process, the way scripts use it.
#include <gtest/gtest.h>

#include "tests/cli/run_etxt.h"
