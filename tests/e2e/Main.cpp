#include "Driver.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s path\\to\\Zentrok.exe\n", argv[0]);
        return 2;
    }
    e2e::ZentrokExe = e2e::FromBuildPath(argv[1]);
    return RUN_ALL_TESTS();
}
