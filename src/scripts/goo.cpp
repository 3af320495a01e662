#include "goo.h"

ServiceScript gooScript() { return {}; }
