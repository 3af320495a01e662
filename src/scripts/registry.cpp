#include "registry.h"

#include "fc2.h"
#include "seesaa.h"
#include "livedoor.h"
#include "dti.h"
#include "ninja.h"
#include "csc.h"
#include "ameba.h"
#include "rakuten.h"
#include "goo.h"
#include "cocolog.h"
#include "jugem.h"
#include "webry.h"
#include "sonet.h"

#include "core/services.h"

ServiceScript scriptForService(int service) {
  switch (service) {
  case SvcFc2:
    return runFc2Script;
  case SvcSeesaa:
    return seesaaScript();
  case SvcLivedoor:
    return livedoorScript();
  case SvcDti:
    return dtiScript();
  case SvcNinja:
    return ninjaScript();
  case SvcCsc:
    return cscScript();
  case SvcAmeba:
    return amebaScript();
  case SvcRakuten:
    return rakutenScript();
  case SvcGoo:
    return gooScript();
  case SvcCocolog:
    return cocologScript();
  case SvcJugem:
    return jugemScript();
  case SvcWebry:
    return webryScript();
  case SvcSonet:
    return sonetScript();
  default:
    return {};
  }
}
