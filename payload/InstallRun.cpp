#include "payload/InstallRun.h"

namespace qwp {

bool InstallStarted = false;

}  // namespace qwp
