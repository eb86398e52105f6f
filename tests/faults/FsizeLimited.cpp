// Runs a program with its files limited in size, as on a disk that is nearly full: a write past the limit
// fails with EFBIG instead of ending the program.
//
//   fsize-limited BYTES PROGRAM [ARGUMENT...]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fsize-limited BYTES PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const rlim_t bytes = std::strtoull(argv[1], nullptr, 10);
    const rlimit limit { bytes, bytes };
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) {
        std::perror("fsize-limited");
        return 2;
    }
    ::execv(argv[2], argv + 2);
    std::perror(argv[2]);
    return 127;
}
