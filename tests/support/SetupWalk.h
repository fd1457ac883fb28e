// What the end-to-end tests of the real setup program expect of its window
// while they walk it from outside: its caption, the title of each page, its
// registry keys, and how long each step may take.
#pragma once

#include <windows.h>

namespace qwp::test {

inline constexpr DWORD kStartTimeout = 30000;
inline constexpr DWORD kPageTimeout = 10000;
inline constexpr DWORD kInstallTimeout = 180000;

inline constexpr char kCaption[] = "Quilvane Word Processor - Setup";
inline constexpr char kProductKey[] = "Software\\Quilvane Word Processor";
inline constexpr char kInstallKey[] = "Software\\Quilvane Word Processor\\Install";
inline constexpr char kInternalKey[] = "Software\\Quilvane Word Processor\\Internal";

inline constexpr const char* kTitles[8] = {"Welcome to the Quilvane Word Processor Setup",
                                           "License Agreement",
                                           "Choose Destination Folder",
                                           "Select Components",
                                           "Ready to Install",
                                           "Installing",
                                           "Associate With Document Types",
                                           "Installation Complete"};

// The question of every close the program has not decided itself, with the
// program's lone CR line breaks.
inline constexpr char kCloseQuestion[] =
    "Setup is not complete. If you quit this setup program now,\r"
    "Quilvane will not be correctly installed.\r\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of Quilvane.\r\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Abort.";

}  // namespace qwp::test
