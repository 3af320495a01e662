#include "webry.h"

ServiceScript webryScript() { return {}; }
