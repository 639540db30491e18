#include "app/command_line.h"
#include "image/pixel_memory.h"
#include "settings/app_error.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    vantola::pixel_memory::configureAllocator();
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
