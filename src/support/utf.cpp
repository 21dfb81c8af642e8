#include "support/utf.h"
