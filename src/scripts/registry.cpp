#include "registry.h"

#include "fc2.h"

#include "core/services.h"

ServiceScript scriptForService(int service) {
  switch (service) {
  case SvcFc2:
    return runFc2Script;
  default:
    return {};
  }
}
