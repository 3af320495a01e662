#include "cocolog.h"

ServiceScript cocologScript() { return {}; }
