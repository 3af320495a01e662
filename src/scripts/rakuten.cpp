#include "rakuten.h"

ServiceScript rakutenScript() { return {}; }
