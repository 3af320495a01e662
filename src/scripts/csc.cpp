#include "csc.h"

ServiceScript cscScript() { return {}; }
