// skarvel-frames: the frame splitter and the frame export without the window.
#include "frames/FrameTable.h"
#include "frames/Messages.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <new>

using namespace skarvel;

namespace {

enum ExitCode { Ok = 0, NotAnimated = 1, CannotOpen = 2, SaveFailed = 3, Usage = 64 };

const char* const kUsage =
    "Uso:\n"
    "  skarvel-frames info FILE\n"
    "      Divide FILE nei suoi frame e stampa la tabella dei frame in JSON.\n"
    "  skarvel-frames export FILE CARTELLA [--format bmp|gif]\n"
    "      Salva tutti i frame di FILE in CARTELLA come file numerati (predefinito: bmp).\n"
    "  skarvel-frames --help | --version\n"
    "\n"
    "Codici di uscita: 0 riuscito, 1 non e' una GIF animata, 2 impossibile aprire il file,\n"
    "3 errore durante il salvataggio, 64 uso errato.\n";

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void printLine(std::FILE* stream, QString text)
{
    // The window's texts break lines the Windows way; a terminal wants "\n".
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    print(stream, text + u'\n');
}

int usageError(const QString& why)
{
    printLine(stderr, QStringLiteral("skarvel-frames: ") + why);
    print(stderr, QString::fromUtf8(kUsage));
    return Usage;
}

// Says what is wrong with a file the splitter could not take, where the reason is plain.
QString problemWith(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("il file non esiste");
    if (info.isDir())
        return QStringLiteral("è una cartella, non un file");
    if (!info.isReadable())
        return QStringLiteral("il file non è leggibile");
    if (info.size() == 0)
        return QStringLiteral("il file è vuoto");
    return {};
}

// Splits `path`; on failure reports it and answers the exit code, else Ok.
int split(const QString& path, FrameTable& table, std::int32_t& result)
{
    result = SplitGifFrames(path, table);
    if (result >= 1)
        return Ok;
    if (const QString problem = problemWith(path); !problem.isEmpty())
        printLine(stderr, QStringLiteral("skarvel-frames: ") + path + QStringLiteral(": ") + problem);
    printLine(stderr, result == 0 ? messages::notAnimated() : messages::cannotOpen());
    return result == 0 ? NotAnimated : CannotOpen;
}

// Printed frame by frame: a table of millions of frames needs no text of hundreds of megabytes.
void printFrameTable(std::int32_t result, const FrameTable& table)
{
    print(stdout, QStringLiteral("{\"result\": %1, \"width\": %2, \"height\": %3, \"frames\": [")
                      .arg(result).arg(table.GifWidth).arg(table.GifHeight));
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        const FrameEntry& frame = table.frames[i];
        print(stdout, QStringLiteral("%1{\"index\": %2, \"clear\": %3, \"delay\": %4, \"left\": %5, \"top\": %6, "
                                     "\"width\": %7, \"height\": %8}")
                          .arg(i > 0 ? QStringLiteral(", ") : QString())
                          .arg(i)
                          .arg(frame.FrameClear ? QStringLiteral("true") : QStringLiteral("false"))
                          .arg(frame.FrameDelay)
                          .arg(frame.FrameLeft)
                          .arg(frame.FrameTop)
                          .arg(frame.FramePicture.pixelWidth())
                          .arg(frame.FramePicture.pixelHeight()));
    }
    print(stdout, QStringLiteral("]}\n"));
}

int info(const QString& path)
{
    FrameTable table;
    std::int32_t result = 0;
    const int code = split(path, table, result);
    printFrameTable(result, table);
    return code;
}

int exportFrames(const QString& path, const QString& folder, FrameFormat format)
{
    // Frames are named after the file, which needs a folder in front of its name.
    const QString gifFile = QFileInfo(path).absoluteFilePath();
    FrameTable table;
    std::int32_t result = 0;
    if (const int code = split(gifFile, table, result); code != Ok)
        return code;
    if (!QFileInfo(folder).isDir()) {
        printLine(stderr, QStringLiteral("skarvel-frames: ") + folder + QStringLiteral(": la cartella non esiste"));
        printLine(stderr, messages::saveFailed());
        return SaveFailed;
    }
    if (!SaveFrames(table, gifFile, folder, format)) {
        printLine(stderr, messages::saveFailed());
        return SaveFailed;
    }
    printLine(stdout, messages::framesSaved(qsizetype(table.frames.size())));
    return Ok;
}

int run(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        print(stdout, QString::fromUtf8(kUsage));
        return Ok;
    }
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        printLine(stdout, QStringLiteral("skarvel-frames " SKARVEL_VERSION));
        return Ok;
    }
    if (args.isEmpty())
        return usageError(QStringLiteral("manca il comando"));

    const QString command = args.takeFirst();
    if (command == QLatin1String("info")) {
        if (args.size() != 1)
            return usageError(QStringLiteral("info vuole un solo FILE"));
        return info(args[0]);
    }
    if (command == QLatin1String("export")) {
        FrameFormat format = FrameFormat::Bmp;
        const qsizetype flag = args.indexOf(QStringLiteral("--format"));
        if (flag >= 0) {
            const QString value = args.value(flag + 1);
            if (value == QLatin1String("gif"))
                format = FrameFormat::Gif;
            else if (value != QLatin1String("bmp"))
                return usageError(QStringLiteral("--format vuole bmp o gif"));
            args.remove(flag, 2);
        }
        if (args.size() != 2)
            return usageError(QStringLiteral("export vuole FILE e CARTELLA"));
        return exportFrames(args[0], args[1], format);
    }
    return usageError(QStringLiteral("comando sconosciuto: ") + command);
}

} // namespace

int main(int argc, char* argv[])
{
    // Running out of memory anywhere is a file that cannot be opened, never an abort.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fputs("\n", stderr);
        printLine(stderr, messages::cannotOpen());
        return CannotOpen;
    }
}
