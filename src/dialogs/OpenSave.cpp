#include "dialogs/OpenSave.h"

#include "base/RuntimeError.h"

namespace skarvel {

QStringList OpenSave::NameFilters(const QString& sFilter)
{
    QStringList filters;
    const QStringList parts = sFilter.split(u'|');
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        QString patterns = parts.at(k + 1).trimmed();
        patterns.replace(u';', u' ');
        patterns = patterns.simplified();
        if (patterns.isEmpty())
            continue;
        const QString description = parts.at(k).trimmed();
        filters.append(description.isEmpty()
                           ? patterns
                           : description + QStringLiteral(" (") + patterns + u')');
    }
    return filters;
}

FileDialogRequest OpenSave::PrepareDialog() const
{
    if (m_fileName.size() > kMaxFileName)
        throw RuntimeError(RuntimeError::InvalidCall,
                           "the initial file name is longer than the dialog takes");
    FileDialogRequest request;
    request.owner = m_owner;
    request.title = m_title;
    request.nameFilters = NameFilters(m_filter);
    request.selectedFilter = m_filterIndex - 1;
    request.initialName = m_fileName;
    request.initialDir = m_initDir;
    request.defaultSuffix = m_defaultExt;
    return request;
}

void OpenSave::ShowOpen()
{
    const FileDialogRequest request = PrepareDialog();
    m_fileName = modal().GetOpenFileName(request);
}

void OpenSave::ShowSave()
{
    const FileDialogRequest request = PrepareDialog();
    m_fileName = modal().GetSaveFileName(request);
}

} // namespace skarvel
