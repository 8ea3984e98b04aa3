#pragma once

// The error with an exact message text lives with the code that the player shares.
#include "common/error.h"
