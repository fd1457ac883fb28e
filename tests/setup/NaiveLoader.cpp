// Loads a DLL by bare name the way an unprotected program would. The planting
// test runs it first to show that a planted DLL is really picked up in its
// set-up; otherwise a passing test of the setup would prove nothing.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HMODULE module = LoadLibraryA(argv[1]);
    return module ? 0 : 1;
}
