#pragma once
#include "registry.h"

// The script of this service for the run driver; empty until it exists.
ServiceScript cscScript();
