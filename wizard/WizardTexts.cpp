#include "wizard/WizardTexts.h"

namespace qwp {

const char kWelcomeFormat[] =
    "This program will install %s (version 4.1.2.0%s) on your computer.\r\r\r\r\r"
    "Click Next to continue. Click Cancel to quit Setup.";
const char kFinishFormat[] =
    "%s 4.1.2.0%s has been successfully installed on your system.\r\r"
    "Click Finish to exit this Setup.";
const char kProductName[] = "Quilvane Word Processor";
const char kSelCompText[] =
    "Uncheck boxes for the &components that you do not wish to install or upgrade "
    "(the required disk space is displayed on the right):";

const char* const kPageTitles[9] = {
    "Welcome to the Quilvane Word Processor Setup",
    "License Agreement",
    "Choose Destination Folder",
    "Select Components",
    "Ready to Install",
    "Installing",
    "Associate With Document Types",
    "Installation Complete",
    "",
};

const char kBackCaption[] = "< &Back";
const char kNextCaption[] = "&Next >";
const char kFinishCaption[] = "&Finish";

const char kRunningInstanceMessage[] =
    "A copy of Quilvane Word Processor is already running on your system.\r"
    "Please close any running instance(s) of Quilvane Word Processor, then click OK in this dialog.";
const char kLicenceRefusedMessage[] =
    "To install this program, you need to agree to all the terms of the License Agreement.\r"
    "Do you really want to cancel the Quilvane install?";
const char kCloseQueryMessage[] =
    "Setup is not complete. If you quit this setup program now,\r"
    "Quilvane will not be correctly installed.\r\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of Quilvane.\r\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Abort.";

const char kLicenceEntryName[] = "License.txt";

std::string NotLaunchedMessage(const std::string& folder) {
    return "Setup could not start Quilvane Word Processor for you. It is installed in this folder:\r\r" + folder +
           "\r\rStart qwp.exe there to use it.";
}

// Shown as the free space of a drive that cannot be asked (one that does not
// exist, for instance).
const char kUnknownFreeSpace[] = "Unknown";

}  // namespace qwp
