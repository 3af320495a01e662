#include "seesaa.h"

ServiceScript seesaaScript() { return {}; }
