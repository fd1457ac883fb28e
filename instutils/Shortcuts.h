// Shell shortcut files (.lnk), made through the shell link object. Needs OLE
// initialised on the calling thread, which the process start does.
#pragma once

#include <string>

namespace qwp {

// Creates the shortcut's folder when missing (logged), writes the shortcut
// (replacing an existing one) with the target, working folder and
// description, and logs it with a "File Copy: " line, even when saving
// failed. When the shell link object cannot be had at all, nothing is
// created and nothing is logged. True when the shortcut was saved.
bool CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& workingFolder,
                    const std::string& description);

}  // namespace qwp
