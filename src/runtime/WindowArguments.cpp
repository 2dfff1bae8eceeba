#include "runtime/WindowArguments.h"

#include "files/FilePath.h"

#include <cstring>

namespace skarvel {

WindowArguments::WindowArguments(int argc, char* argv[])
    : qtArgc(argc), m_argv(argv), m_argc(argc), m_dashDash(argc)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            m_dashDash = i;
            break;
        }
    }
    qtArgc = m_dashDash;
}

QStringList WindowArguments::files() const
{
    // Qt moves what it leaves to the front of argv; the arguments after "--" it never saw.
    QStringList files;
    for (int i = 1; i < qtArgc; ++i)
        files << DecodeFilePath(m_argv[i]);
    for (int i = m_dashDash + 1; i < m_argc; ++i)
        files << DecodeFilePath(m_argv[i]);
    return files;
}

WindowArguments::Request WindowArguments::request() const
{
    if (m_dashDash != 2)
        return Request::Window;
    const QByteArrayView only(m_argv[1]);
    if (only == "--help" || only == "-h")
        return Request::Help;
    return only == "--version" ? Request::Version : Request::Window;
}

} // namespace skarvel
