#include "instutils/InstUtils.h"

namespace qwp {

void InitInstUtils() { ResolveEntryPoints(); }

void FinalizeInstUtils() {
    CloseInstallLog();
    FolderStack.reset();
}

}  // namespace qwp
