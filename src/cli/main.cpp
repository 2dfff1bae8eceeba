// skarvel-frames: the frame splitter and the frame export without the window.
#include "cli/FileReason.h"
#include "frames/FrameTable.h"
#include "frames/Messages.h"
#include "frames/FrameChoice.h"
#include "frames/FrameExport.h"
#include "frames/FramePlacement.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "files/FileIO.h"
#include "files/FilePath.h"
#include "files/SignalCleanup.h"

#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <new>

using namespace skarvel;

namespace {

enum ExitCode { Ok = 0, NotAnimated = 1, CannotOpen = 2, SaveFailed = 3, NoSuchFrame = 4, Usage = 64, OutputFailed = 74 };

const char* const kUsage =
    "Uso:\n"
    "  skarvel-frames info [--] FILE\n"
    "      Divide FILE nei suoi frame e stampa la tabella dei frame in JSON.\n"
    "  skarvel-frames export [--format bmp|gif|png] [--composed] [--frames ELENCO] [--] FILE CARTELLA\n"
    "      Salva tutti i frame di FILE in CARTELLA come file numerati (predefinito: bmp).\n"
    "      --composed (con bmp o png): ogni frame è lo schermo intero come appare, composto\n"
    "      sui frame precedenti; nei bmp il trasparente diventa il colore di sfondo.\n"
    "      --frames ELENCO: salva solo i frame scelti, con i nomi di sempre. ELENCO sono numeri\n"
    "      da 0 e intervalli separati da virgole: 0, 3-7, 10- (fino all'ultimo), last (l'ultimo),\n"
    "      5-last; per esempio --frames 0 o --frames 0,10-19,last.\n"
    "  skarvel-frames --help | --version\n"
    "\n"
    "Dopo \"--\" nessun argomento è un'opzione: \"export -- --format out\" salva i frame del\n"
    "file di nome --format. Un file che non si può usare è segnalato con il motivo\n"
    "(\"skarvel-frames: PERCORSO: motivo\").\n"
    "\n"
    "Codici di uscita: 0 riuscito, 1 non è una GIF animata, 2 impossibile aprire il file,\n"
    "3 errore durante il salvataggio, 4 --frames chiede un frame che il file non ha (nulla\n"
    "è salvato), 64 uso errato (anche un ELENCO illeggibile o vuoto), 74 impossibile\n"
    "scrivere sull'uscita standard (il motivo va sull'errore standard).\n";

// The first error in writing standard output, kept until the end tells it.
int s_outputError = 0;

void print(std::FILE* stream, const QByteArray& bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()) && stream == stdout
        && s_outputError == 0)
        s_outputError = errno != 0 ? errno : EIO;
}

void printLine(std::FILE* stream, QString text)
{
    // The window's texts break lines the Windows way; a terminal wants "\n".
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    print(stream, text.toUtf8() + '\n');
}

// "skarvel-frames: PATH: reason", the path in its own bytes, whatever they are.
void complain(const QString& path, const QString& reason)
{
    print(stderr, "skarvel-frames: " + EncodeFilePath(path) + ": " + reason.toUtf8() + '\n');
}

int usageError(const QString& why)
{
    print(stderr, "skarvel-frames: " + EncodeFilePath(why) + '\n');
    print(stderr, kUsage);
    return Usage;
}

// Reports what a split of `path` that answered `result` came to, and answers the exit code.
int splitOutcome(const QString& path, std::int32_t result)
{
    if (result >= 1)
        return Ok;
    if (const FileFailure failure = LastFileFailure(); failure.error != 0)
        complain(path, FileReason(failure.error));
    else if (result == 0 && HasNoBytes(path))
        complain(path, QStringLiteral("il file è vuoto"));
    printLine(stderr, result == 0 ? messages::notAnimated() : messages::cannotOpen());
    return result == 0 ? NotAnimated : CannotOpen;
}

// Printed frame by frame: a table of millions of frames needs no text of hundreds of megabytes.
void printFrameTable(std::int32_t result, const FrameTable& table)
{
    print(stdout, QStringLiteral("{\"result\": %1, \"width\": %2, \"height\": %3, \"frames\": [")
                      .arg(result).arg(table.GifWidth).arg(table.GifHeight).toUtf8());
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        const FrameEntry& frame = table.frames[i];
        print(stdout, QStringLiteral("%1{\"index\": %2, \"clear\": %3, \"delay\": %4, \"left\": %5, \"top\": %6, "
                                     "\"width\": %7, \"height\": %8, \"disposal\": %9}")
                          .arg(i > 0 ? QStringLiteral(", ") : QString())
                          .arg(i)
                          .arg(frame.FrameClear ? QStringLiteral("true") : QStringLiteral("false"))
                          .arg(frame.FrameDelay)
                          .arg(frame.FrameLeft)
                          .arg(frame.FrameTop)
                          .arg(frame.pixelWidth)
                          .arg(frame.pixelHeight)
                          .arg(PlacementOf(table, i).disposal).toUtf8());
    }
    print(stdout, "]}\n");
}

int info(const QString& path)
{
    FrameTable table;
    FrameKeeping keeping; // the values are all it prints
    keeping.pictureBytes = 0;
    const std::int32_t result = SplitGifFrames(path, table, {}, keeping);
    const int code = splitOutcome(path, result);
    printFrameTable(result, table);
    return code;
}

// What is wrong with `folder` as a place for the frames; empty when nothing is.
QString folderProblem(const QString& folder)
{
    struct stat info {};
    if (::stat(EncodeFilePath(folder).constData(), &info) != 0)
        return errno == ENOENT ? QStringLiteral("la cartella non esiste") : FileReason(errno);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("non è una cartella");
    // A folder nobody may write into, or on a read-only file system, is told before the file is
    // read; a full one is known only at the first frame, which stops the export at once.
    if (::faccessat(AT_FDCWD, EncodeFilePath(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return FileReason(errno);
    return QString();
}

int exportFrames(const QString& path, const QString& folder, FrameFormat format, bool composed, const FrameChoice& choice)
{
    // Frames are named after the file, which needs a folder in front of its name; "./" gives it
    // one without asking where we are, which a deep enough folder cannot tell.
    const QString gifFile = path.contains(u'/') ? path : QStringLiteral("./") + path;
    // Frames are written while the file is still split: the folder must be right before that.
    if (const QString problem = folderProblem(folder); !problem.isEmpty()) {
        complain(folder, problem);
        printLine(stderr, messages::saveFailed());
        return SaveFailed;
    }
    // What a failure prints is made before the work, which may leave too little memory for it.
    const QByteArray failedLine = messages::saveFailed().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8() + '\n';
    auto reserve = std::make_unique<char[]>(std::size_t(1) << 20);
    FrameTable table;
    FrameExport exporter(gifFile, folder, format, composed, choice);
    const std::int32_t result = exporter.split(table);
    if (!exporter.failed()) {
        if (const int code = splitOutcome(path, result); code != Ok)
            return code;
        // Frames written ahead wait unnamed: nothing is saved.
        if (const std::optional<std::size_t> frame = choice.missing(table.frames.size())) {
            complain(path, QStringLiteral("il file ha %1 frame (da 0 a %2), non il frame %3")
                               .arg(table.frames.size()).arg(table.frames.size() - 1).arg(*frame));
            return NoSuchFrame;
        }
    }
    if (!exporter.save(table)) {
        reserve.reset();
        if (const FileFailure failure = exporter.failure(); failure.folder && failure.error == ENOENT)
            complain(failure.path, QStringLiteral("la cartella non esiste"));
        else if (failure.error != 0)
            complain(failure.path, FileReason(failure.error));
        print(stderr, failedLine);
        return SaveFailed;
    }
    printLine(stdout, messages::framesSaved(qsizetype(choice.chosenCount(table.frames.size()))));
    return Ok;
}

// A command's output that could not be written is its failure, however well the rest went.
int outputOutcome(int code)
{
    if (std::fflush(stdout) != 0 && s_outputError == 0)
        s_outputError = errno;
    if (s_outputError == 0)
        return code;
    print(stderr, "skarvel-frames: uscita standard: " + FileReason(s_outputError).toUtf8() + '\n');
    return code == Ok ? OutputFailed : code;
}

int run(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << DecodeFilePath(argv[i]);

    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        print(stdout, kUsage);
        return Ok;
    }
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        printLine(stdout, QStringLiteral("skarvel-frames " SKARVEL_VERSION));
        return Ok;
    }
    if (args.isEmpty())
        return usageError(QStringLiteral("manca il comando"));

    const QString command = args.takeFirst();
    const bool exporting = command == QLatin1String("export");
    if (!exporting && command != QLatin1String("info"))
        return usageError(QStringLiteral("comando sconosciuto: ") + command);

    FrameFormat format = FrameFormat::Bmp;
    bool composed = false;
    FrameChoice choice;
    QStringList operands;
    bool optionsOver = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsOver || arg == QLatin1String("-") || !arg.startsWith(u'-')) {
            operands << arg;
        } else if (arg == QLatin1String("--")) {
            optionsOver = true;
        } else if (exporting && arg == QLatin1String("--format")) {
            const QString value = args.value(++i);
            if (value != QLatin1String("bmp") && value != QLatin1String("gif") && value != QLatin1String("png"))
                return usageError(QStringLiteral("--format vuole bmp, gif o png"));
            format = value == QLatin1String("gif")   ? FrameFormat::Gif
                     : value == QLatin1String("png") ? FrameFormat::Png
                                                     : FrameFormat::Bmp;
        } else if (exporting && arg == QLatin1String("--composed")) {
            composed = true;
        } else if (exporting && arg == QLatin1String("--frames")) {
            const std::optional<FrameChoice> chosen = i + 1 < args.size() ? FrameChoice::parse(args[++i]) : std::nullopt;
            if (!chosen)
                return usageError(QStringLiteral("--frames vuole un elenco come 0 o 3-7 o 10- o last, separati da virgole"));
            choice = *chosen;
        } else {
            return usageError(QStringLiteral("opzione sconosciuta: ") + arg);
        }
    }
    if (!exporting)
        return operands.size() == 1 ? info(operands[0]) : usageError(QStringLiteral("info vuole un solo FILE"));
    if (operands.size() != 2)
        return usageError(QStringLiteral("export vuole FILE e CARTELLA"));
    if (composed && format == FrameFormat::Gif)
        return usageError(QStringLiteral("--composed vuole --format bmp o png"));
    return exportFrames(operands[0], operands[1], format, composed, choice);
}

} // namespace

int main(int argc, char* argv[])
{
    IgnoreFileSizeSignal();
    // Running out of memory anywhere is a file that cannot be opened, never an abort.
    try {
        return outputOutcome(run(argc, argv));
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fputs("\n", stderr);
        printLine(stderr, messages::cannotOpen());
        return CannotOpen;
    }
}
