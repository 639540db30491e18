#include "app/command_line.h"
#include "settings/app_error.h"

#include <cstdio>
#include <exception>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // A job's pages and pieces are allocated on its worker threads and freed on the calling
    // thread. With the C library's default of one memory arena per thread, each freed page returns
    // to the arena of the thread that made it, and over hundreds of pages the arenas fragment and
    // the process keeps growing. One shared arena keeps a long job's memory flat; the allocations
    // are few and large, so the threads hardly ever wait for each other on it.
    mallopt(M_ARENA_MAX, 1);
#endif
    // Whatever goes wrong, the program ends with a message and the status of a job that could not
    // run, never with an abort.
    try {
        return vantola::runCommandLine(argc, argv);
    } catch (const vantola::AppError& error) {
        std::fprintf(stderr, "vantola: %s (error %d)\n", error.what(), error.number());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantola: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "vantola: unexpected failure\n");
    }
    return vantola::kExitUsage;
}
