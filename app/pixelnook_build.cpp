// Placeholder until the command-line tool lands: refuses to run.
#include <cstdio>
int main()
{
    std::fputs("pixelnook-build: not built yet\n", stderr);
    return 3;
}
