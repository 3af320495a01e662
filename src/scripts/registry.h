// Which script serves which blog service.
#pragma once
#include <functional>

struct ScriptHost;

using ServiceScript = std::function<bool(const ScriptHost &)>;

// The script of a service (index into the service table); empty while the
// service has none.
ServiceScript scriptForService(int service);
