/* Prints the pointer size of the running program and whether it runs under
   WoW64: the test script starts it to learn whether this machine runs
   programs of the architecture it was built for. */
#include <windows.h>
#include <stdio.h>

int main(void) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    printf("pointer size %u, wow64 %d\n", (unsigned)sizeof(void *), wow64 ? 1 : 0);
    return 0;
}
