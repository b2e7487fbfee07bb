#include <cstdio>

// The program's entry point. The main window is not built yet: the program
// says so and ends.
int main()
{
    std::printf("Kestrabel 3 %s: the main window is not built yet.\n", KB_VERSION);
    return 0;
}
