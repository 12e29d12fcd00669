#include "tests/e2e/run_tessly.h"
