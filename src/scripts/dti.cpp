#include "dti.h"

ServiceScript dtiScript() { return {}; }
