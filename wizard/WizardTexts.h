// The wizard's own texts: page titles, fixed captions and the questions it
// asks. A carriage return is a line break.
#pragma once

#include <string>

namespace qwp {

extern const char kWelcomeFormat[];
extern const char kFinishFormat[];
extern const char kProductName[];
extern const char kSelCompText[];

// The title of each page; entry 8 (the Finish button's target) is empty.
extern const char* const kPageTitles[9];

extern const char kBackCaption[];
extern const char kNextCaption[];
extern const char kFinishCaption[];

extern const char kRunningInstanceMessage[];
extern const char kLicenceRefusedMessage[];
extern const char kCloseQueryMessage[];

// Told when the word processor could not be started at Finish: where it is,
// so the user can start it (a portable installation has no shortcut).
std::string NotLaunchedMessage(const std::string& folder);

extern const char kLicenceEntryName[];
extern const char kUnknownFreeSpace[];

}  // namespace qwp
