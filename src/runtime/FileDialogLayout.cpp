#include "runtime/FileDialogLayout.h"

#include <QAbstractFileIconProvider>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTreeView>

#include <algorithm>

namespace skarvel {

namespace {

// The columns of the dialog's detail view.
enum Column { Name, Size, Type, Date, kColumns };

constexpr int kNameCharacters = 40;
// A size of two digits more than most, in the largest unit the dialog uses below GiB.
constexpr qint64 kWidestSize = qint64(999.99 * 1024 * 1024);

// The types the list shows: a folder's, and that of each extension the filters name.
QStringList typeTexts(const QFileDialog& dialog)
{
    QStringList types;
    if (const QAbstractFileIconProvider* provider = dialog.iconProvider())
        types << provider->type(QFileInfo(QDir::homePath()));
    static const QRegularExpression extension(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QMimeDatabase mimes;
    for (const QString& filter : dialog.nameFilters()) {
        for (auto match = extension.globalMatch(filter); match.hasNext();) {
            const QMimeType type =
                mimes.mimeTypeForFile(QStringLiteral("x.") + match.next().captured(1), QMimeDatabase::MatchExtension);
            types << (type.comment().isEmpty() ? type.name() : type.comment());
        }
    }
    return types;
}

// The samples of each column's texts, as the dialog's list writes them.
QStringList samples(const QFileDialog& dialog, Column column)
{
    const QLocale shown = QLocale::system();
    switch (column) {
    case Name:
        // Forty characters of an ordinary name.
        return {QStringLiteral("schermata-registrata-2026-12-07-0937.gif")};
    case Size:
        return {shown.formattedDataSize(kWidestSize), shown.formattedDataSize(1023 * 1024 - 1)};
    case Type:
        return typeTexts(dialog);
    case Date:
        return {shown.toString(QDateTime(QDate(2026, 12, 28), QTime(20, 58, 58)), QLocale::ShortFormat)};
    default:
        return {};
    }
}

// What a column needs: its header, or its widest sample with the room the list's items take
// around a text (and its icon, in the first column), whichever is wider.
int columnWidth(const QFileDialog& dialog, const QTreeView& list, Column column)
{
    const QFontMetrics metrics(list.font());
    const QStyle& style = *list.style();
    // An item's text stands inside the focus frame's margin on each side, and an icon is
    // followed by as much again.
    const int margin = 2 * (style.pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
    // Forty characters of the font's average width, for a name of wider letters than the sample.
    int text = column == Name ? metrics.averageCharWidth() * kNameCharacters : 0;
    for (const QString& sample : samples(dialog, column))
        text = std::max(text, metrics.horizontalAdvance(sample));
    int needed = text + margin;
    if (column == Name) {
        const int icon = list.iconSize().isValid() ? list.iconSize().width()
                                                   : style.pixelMetric(QStyle::PM_SmallIconSize, nullptr, &list);
        needed += icon + margin + (list.rootIsDecorated() ? list.indentation() : 0);
    }
    // A few pixels to spare: text drawn on a scaled screen measures a fraction wider.
    constexpr int kSpare = 6;
    return std::max(needed, list.header()->sectionSizeHint(column)) + kSpare;
}

// Widens the dialog, once it is laid out for showing, by what the list's columns lack.
class WidenOnShow : public QObject {
public:
    WidenOnShow(QFileDialog& dialog, QTreeView& list, int columns) : QObject(&dialog), m_list(list), m_columns(columns) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto& dialog = static_cast<QWidget&>(*watched);
            const int room = m_list.viewport()->width();
            if (room < m_columns) {
                QSize size(dialog.width() + m_columns - room, dialog.height());
                if (const QScreen* screen = dialog.screen())
                    size = size.boundedTo(screen->availableGeometry().size());
                dialog.resize(size);
            }
            watched->removeEventFilter(this);
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView& m_list;
    const int m_columns;
};

} // namespace

void LayOutFileDialog(QFileDialog& dialog)
{
    dialog.setViewMode(QFileDialog::Detail);
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!list || list->header()->count() < kColumns)
        return;
    QHeaderView& header = *list->header();
    int columns = 0;
    for (int c = 0; c < kColumns; ++c) {
        header.resizeSection(c, columnWidth(dialog, *list, Column(c)));
        columns += header.sectionSize(c);
    }
    // The list's width is known only once the dialog is laid out for showing.
    dialog.installEventFilter(new WidenOnShow(dialog, *list, columns));
}

} // namespace skarvel
