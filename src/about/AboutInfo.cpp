#include "about/AboutInfo.h"

#include <QFile>

// The compiled-in file sits in a static library: register it before the first use.
static void registerAboutResource()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(about);
        return true;
    }();
    (void)registered;
}

namespace skarvel {

AboutInfo LoadAboutInfo(const QString& path)
{
    registerAboutResource();
    AboutInfo info;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return info;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        const qsizetype equals = line.indexOf(u'=');
        if (line.isEmpty() || line.startsWith(u'#') || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("website"))
            info.website = value;
        else if (key == QLatin1String("author_email"))
            info.authorEmail = value;
        else if (key == QLatin1String("collaborator_email"))
            info.collaboratorEmail = value;
        else if (key == QLatin1String("author_line"))
            info.authorLine = value;
        else if (key == QLatin1String("terms_line"))
            info.termsLine = value;
        else if (key == QLatin1String("collaborator_line"))
            info.collaboratorLine = value;
    }
    return info;
}

} // namespace skarvel
