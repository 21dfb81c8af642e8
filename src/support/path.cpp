#include "support/path.h"
