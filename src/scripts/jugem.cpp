#include "jugem.h"

ServiceScript jugemScript() { return {}; }
