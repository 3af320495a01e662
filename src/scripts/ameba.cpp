#include "ameba.h"

ServiceScript amebaScript() { return {}; }
