#include "ninja.h"

ServiceScript ninjaScript() { return {}; }
