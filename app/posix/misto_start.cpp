#include "app/posix/misto_start.h"

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

MistoStart startMisto(int argc, char** argv, const char* handedWindow, bool waylandHost) {
    MistoStart start;
    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaddset(&handled, s);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    try {
        start.signals = std::make_unique<SignalWatch>(handled, SIGUSR1, std::chrono::seconds(1));
        start.options =
            parseMistoOptions(std::vector<std::string>(argv + 1, argv + argc), handedWindow);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "misto: %s\n", e.what());
        start.exitStatus = 1;
        return start;
    }
    if (start.options.help) {
        std::fputs(mistoUsage(waylandHost).c_str(), stdout);
        start.exitStatus = 0;
    } else if (start.options.version) {
        std::printf("misto %s\nCopyright (c) Tarnwick Labs. All rights reserved.\n", MISTO_VERSION);
        start.exitStatus = 0;
    }
    return start;
}
