#include "registry.h"

#include "ameba.h"
#include "cocolog.h"
#include "csc.h"
#include "dti.h"
#include "fc2.h"
#include "goo.h"
#include "jugem.h"
#include "livedoor.h"
#include "ninja.h"
#include "rakuten.h"
#include "seesaa.h"
#include "sonet.h"
#include "webry.h"

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
