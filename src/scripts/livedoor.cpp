#include "livedoor.h"

ServiceScript livedoorScript() { return {}; }
