#pragma once

struct ScriptHost;

// One pass over the queue on an FC2 blog.
bool runFc2Script(const ScriptHost &host);
