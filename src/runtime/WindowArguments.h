#pragma once

#include <QStringList>

namespace skarvel {

// The window program's command line. Qt takes the options it knows (-reverse, -style, ...) out of
// the arguments it is given; "--" and everything after it are kept from Qt, so that a file of
// any name can be opened: "skarvel -- -reverse" opens the file "-reverse".
class WindowArguments {
public:
    WindowArguments(int argc, char* argv[]);

    // How many of argv Qt may see; hand this to QApplication, which lowers it by what it takes.
    int qtArgc;

    // The files given, in their order: what Qt left of its part, then everything after "--".
    QStringList files() const;

    // "--help" or "--version" (or "-h") as the one argument before "--": answered without a window.
    enum class Request { Window, Help, Version };
    Request request() const;

private:
    char** m_argv;
    int m_argc;
    int m_dashDash;
};

} // namespace skarvel
