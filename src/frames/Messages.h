#pragma once

#include <QString>

namespace skarvel::messages {

// Texts the program shows, shared by the window and the command line.

inline const QString kTitle = QStringLiteral("Skarvel");

inline QString notAnimated()
{
    return QStringLiteral("Il file selezionato non è una Gif animata,  oppure non è una\r\n"
                          " GIF animata di tipo compatible con questo visualizzatore");
}

inline QString cannotOpen()
{
    return QStringLiteral("Impossibile aprire il file");
}

inline QString framesSaved(qsizetype count)
{
    return QStringLiteral("I ") + QString::number(count) + QStringLiteral(" files sono stati salvati correttamente");
}

inline QString saveFailed()
{
    return QStringLiteral("Si è verificato un'errore durante il salvataggio dei files");
}

} // namespace skarvel::messages
