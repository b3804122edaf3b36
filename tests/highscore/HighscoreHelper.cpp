// highscore_helper FILE CAPACITY [NAME SCORE [FILE_SIZE_LIMIT]]
// Prints the list FILE as loaded, inserts NAME with SCORE if given and ends, which saves it.
// FILE_SIZE_LIMIT caps the size of any file it writes, so that a save fails halfway.
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <iostream>

#include "highscore/HighscoreTable.h"

int main(int argc, char** argv)
{
    if (argc == 6) {
        const rlim_t limit = std::strtoull(argv[5], nullptr, 10);
        const rlimit fileSize{limit, limit};
        signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of killing us
        if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            return 3;
    }
    HighscoreTable table("Helfer", argv[1], std::atoi(argv[2]));
    table.writeTo(std::cout);
    if (argc >= 5)
        table.insert(argv[3], std::atoi(argv[4]));
    return 0;
}
