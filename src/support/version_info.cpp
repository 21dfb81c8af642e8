#include "support/version_info.h"
