#include "sonet.h"

ServiceScript sonetScript() { return {}; }
