#include "session/SystemCodePage.h"

#include "instutils/PathText.h"

#include <windows.h>

namespace qwp {

void UseSystemCodePage() {
    AnsiCodePage codePage;
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info))
        // Pairs of first and last byte, ended by a pair of zeros.
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
            for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) codePage.lead[byte] = true;
    const wchar_t superscripts[3] = {0x00B9, 0x00B2, 0x00B3};
    for (int i = 0; i < 3; ++i) {
        // At most two bytes, the third staying the NUL; a character the code
        // page does not have comes back as its default character.
        BOOL defaulted = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &superscripts[i], 1, codePage.superscripts[i], 2, nullptr,
                            &defaulted);
        if (defaulted) codePage.superscripts[i][0] = '\0';
    }
    SetProcessCodePage(codePage);
}

}  // namespace qwp
