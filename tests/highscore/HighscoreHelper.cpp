// highscore_helper FILE CAPACITY [NAME SCORE [FILE_SIZE_LIMIT]]
// Opens the list FILE with CAPACITY rows, prints its rows as they were loaded, inserts NAME with
// SCORE if given and ends, which saves the list. FILE_SIZE_LIMIT caps the size of any file the
// process writes, so that writing the list fails halfway.
//
// highscore_helper --save-again-and-again FILE VERSION_A VERSION_B
// Reads two lists of ten rows from VERSION_A and VERSION_B, prints one line, and then saves FILE
// with the rows of B, of A, of B, ... a few thousand times, printing a '.' after each save,
// waiting to be killed in the middle of one.
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "highscore/HighscoreTable.h"

namespace {

int saveAgainAndAgain(const char* file, const char* versionA, const char* versionB)
{
    const HighscoreTable a("A", versionA, 10);
    const HighscoreTable b("B", versionB, 10);
    HighscoreTable list("Helfer", file, 10);
    std::cout << "bereit" << std::endl;
    for (int round = 0; round < 5000; ++round) {
        list.entries = (round % 2 == 0 ? b : a).entries;
        list.save();
        std::cout << '.' << std::flush;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--save-again-and-again") == 0)
        return saveAgainAndAgain(argv[2], argv[3], argv[4]);
    if (argc != 3 && argc != 5 && argc != 6) {
        std::cerr << "usage: highscore_helper FILE CAPACITY [NAME SCORE [FILE_SIZE_LIMIT]]\n"
                     "       highscore_helper --save-again-and-again FILE VERSION_A VERSION_B\n";
        return 2;
    }
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
