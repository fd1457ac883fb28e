/* Reserves address space in 64 MB pieces until none is left, gives it all
 * back and exits with the number of pieces it got (also printed). Linked as
 * the setup is, it shows what the setup can hold in memory. */
#include <stdio.h>
#include <windows.h>

int main(void) {
    enum { kPiece = 64 * 1024 * 1024, kMaxPieces = 1024 };
    static void* pieces[kMaxPieces];
    int count = 0;
    while (count < kMaxPieces) {
        void* piece = VirtualAlloc(NULL, kPiece, MEM_RESERVE, PAGE_NOACCESS);
        if (!piece) break;
        pieces[count++] = piece;
    }
    printf("reserved %d MB\n", count * 64);
    for (int i = 0; i < count; ++i) VirtualFree(pieces[i], 0, MEM_RELEASE);
    return count;
}
