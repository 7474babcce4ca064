#include "support/steering.h"

bool choosingKeys = false;
