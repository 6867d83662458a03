// joywright: drives keyboard-and-mouse programs with a game controller. Runs until SIGTERM or
// SIGINT, then shuts down cleanly (everything held is released, pending edits are written) and
// exits with status 0.
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

#include "shell/JoywrightApp.hpp"
#include "shell/StartupNotice.hpp"

int main(int argc, char** argv) {
    using joywright::JoywrightApp;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("joywright %s\n", std::string(JoywrightApp::version()).c_str());
            return 0;
        }
        std::fprintf(stderr, "usage: joywright [--version]\n");
        return 2;
    }

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("Joywright");
    QCoreApplication::setApplicationVersion(QString::fromUtf8(
        JoywrightApp::version().data(), static_cast<qsizetype>(JoywrightApp::version().size())));

    JoywrightApp app;
    app.start([] { QCoreApplication::exit(0); });
    std::fputs(joywright::startupNotice(app).c_str(), stdout);
    std::fflush(stdout);
    return QCoreApplication::exec();
}
