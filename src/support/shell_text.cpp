#include "support/shell_text.h"
