#include "support/lower_case.h"
