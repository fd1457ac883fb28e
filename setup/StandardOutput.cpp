#include "setup/StandardOutput.h"

#include <windows.h>

namespace qwp {

void WriteToStandardOutput(const std::string& text) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\r', start);
        const std::size_t length = (end == std::string::npos ? text.size() : end) - start;
        WriteFile(output, text.data() + start, static_cast<DWORD>(length), &written, nullptr);
        WriteFile(output, "\r\n", 2, &written, nullptr);
        if (end == std::string::npos) return;
        start = end + 1;
    }
}

}  // namespace qwp
