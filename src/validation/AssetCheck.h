// The check context lives with the outline it names, so that the outline's own checks share it.
#pragma once

#include "catalogue/AssetCheck.h"
