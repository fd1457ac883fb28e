// The install run: opens the install log, plans the chosen components and
// writes every planned copy.
#pragma once

namespace qwp {

// Set when the install run starts its work, never reset. After the wizard
// has closed, the setup driver stores the choices and saves the install log
// only when it is set.
extern bool InstallStarted;

}  // namespace qwp
