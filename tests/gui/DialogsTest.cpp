// The file dialog object and the folder browser answered by scripted dialogs, and the real
// dialogs behind the modal services, in Italian, driven from inside their own modal loops.
#include "base/RuntimeError.h"
#include "dialogs/OpenSave.h"
#include "frames/AdvBFF.h"
#include "runtime/QtModalServices.h"
#include "runtime/Translations.h"
#include "support/FakeModal.h"
#include "support/MachineNeeds.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <stdexcept>

namespace skarvel::test {
namespace {

TEST(OpenSave, PropertiesAndFiltersReachTheDialogFileNameFollowsEachDialogAndFoldersLoseTheirSeparator)
{
    EXPECT_EQ(OpenSave::NameFilters(QStringLiteral("Immagini|*.gif;*.bmp|Tutti i file|*.*|Bmp")) + OpenSave::NameFilters(QStringLiteral("|*.gif")),
              (QStringList{QStringLiteral("Immagini (*.gif *.bmp)"), QStringLiteral("Tutti i file (*.*)"), QStringLiteral("*.gif")}));
    FakeModal dialogs;
    QWidget owner;
    OpenSave dialog;
    dialog.setDialogTitle(QStringLiteral("Titolo"));
    dialog.setFilter(QStringLiteral("Gif|*.gif|Bmp|*.bmp"));
    dialog.sethOwner(&owner);
    dialog.setInitDir(QStringLiteral("/tmp"));
    dialog.setDefaultExt(QStringLiteral("gif"));
    dialog.setFilterIndex(2);
    dialog.setFileName(QStringLiteral("prima.gif"));
    dialogs.answers = {QStringLiteral("/data/anim.gif"), QString(), QString()};
    dialog.ShowOpen();
    const FileDialogRequest asked = dialogs.asked.at(0);
    EXPECT_EQ(std::make_tuple(asked.owner, asked.title, asked.nameFilters, asked.selectedFilter, asked.initialDir, asked.defaultSuffix, asked.initialName),
              std::make_tuple(&owner, QStringLiteral("Titolo"), QStringList{QStringLiteral("Gif (*.gif)"), QStringLiteral("Bmp (*.bmp)")}, 1,
                              QStringLiteral("/tmp"), QStringLiteral("gif"), QStringLiteral("prima.gif")));
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/data/anim.gif"));
    // The next dialog starts from the last choice; cancelling it loses that choice.
    dialog.ShowOpen();
    EXPECT_EQ(std::make_pair(dialogs.asked[1].initialName, dialog.FileName()), std::make_pair(QStringLiteral("/data/anim.gif"), QString()));
    // An initial name longer than the dialog takes is refused before any dialog; one as long is not.
    dialog.setFileName(QString(OpenSave::kMaxFileName + 1, u'a'));
    EXPECT_THROW(dialog.ShowSave(), RuntimeError);
    dialog.setFileName(QString(OpenSave::kMaxFileName, u'b'));
    dialog.ShowSave();

    // The folder browser answers the folder without its trailing separators, or "" on cancel.
    dialogs.answers = {QStringLiteral("/srv/out//"), QStringLiteral("/"), QString()};
    for (const QString& expected : {QStringLiteral("/srv/out"), QStringLiteral("/"), QString()})
        EXPECT_EQ(BrowseForFolder(&owner, QStringLiteral("Dove?")), expected);
    EXPECT_EQ(std::make_tuple(dialogs.asked.size(), dialogs.asked[3].title, dialogs.asked[3].owner), std::make_tuple(std::size_t(6), QStringLiteral("Dove?"), &owner));
}

// Runs `act` on the modal widget from inside its loop: a dialog is shown before its loop starts,
// so the first event the loop delivers finds it up.
void whenModalShows(std::function<void(QWidget&)> act)
{
    QTimer::singleShot(0, [act] { act(*QApplication::activeModalWidget()); });
}

QStringList buttonTexts(QWidget& w)
{
    QStringList texts;
    for (QAbstractButton* child : w.findChildren<QAbstractButton*>())
        texts << child->text();
    return texts;
}

TEST(QtModalServices, RealDialogsSpeakItalianAndShowWhatTheyAreGiven)
{
    // Scripted dialogs are gone with their scope.
    { FakeModal gone; }
    EXPECT_THROW(BrowseForFolder(nullptr, QStringLiteral("Dove?")), std::logic_error) << "nobody left to answer";
    ASSERT_TRUE(hasItalianQtTexts());
    InstallItalianTranslations();
    QtModalServices services;
    QWidget owner;
    // The open dialog as asked for, answering the file shown selected in it; in Italian.
    ScratchDir dir;
    const QString chosen = dir.write(QStringLiteral("a.gif"), QByteArray("GIF89a"));
    std::tuple<QString, QStringList, QString, QString, QString, int, bool> asked;
    whenModalShows([&](QWidget& w) {
        auto& dialog = static_cast<QFileDialog&>(w);
        asked = {dialog.windowTitle(), dialog.nameFilters(), dialog.selectedNameFilter(), dialog.directory().path(), dialog.defaultSuffix(),
                int(dialog.fileMode()), buttonTexts(w).contains(QStringLiteral("Annulla"))};
        static_cast<QDialog&>(dialog).accept();
    });
    const QStringList filters{QStringLiteral("Gif (*.gif)"), QStringLiteral("Tutti (*)")};
    EXPECT_EQ(services.GetOpenFileName({&owner, QStringLiteral("Apri"), filters, 1, chosen, dir.path(), QStringLiteral("gif")}), chosen);
    EXPECT_EQ(asked, std::make_tuple(QStringLiteral("Apri"), filters, filters[1], dir.path(), QStringLiteral("gif"), int(QFileDialog::ExistingFile), true));
    whenModalShows([&](QWidget& w) { static_cast<QDialog&>(w).reject(); });
    EXPECT_EQ(services.GetSaveFileName({&owner, QStringLiteral("Salva"), {}, -1, {}, {}, {}}), QString());

    // Message boxes: text, title, icon and their one button.
    for (const auto& [buttons, icon] : {std::pair{int(vbCritical), QMessageBox::Critical}, std::pair{int(vbInformation), QMessageBox::Information}}) {
        std::tuple<QString, QString, QMessageBox::Icon, QStringList> seen;
        whenModalShows([&](QWidget& w) {
            auto& box = static_cast<QMessageBox&>(w);
            seen = {box.text(), box.windowTitle(), box.icon(), buttonTexts(box)};
            box.buttons().at(0)->click();
        });
        services.MsgBox(&owner, QStringLiteral("prima riga\r\n seconda"), buttons, QStringLiteral("Skarvel"));
        EXPECT_EQ(seen, std::make_tuple(QStringLiteral("prima riga\n seconda"), QStringLiteral("Skarvel"), icon, QStringList{QStringLiteral("OK")}));
    }

    // A form shown modally blocks the other windows and returns once closed.
    QWidget form;
    bool wasModal = false;
    whenModalShows([&](QWidget& modal) { wasModal = &modal == &form && form.close(); });
    services.ShowModal(form);
    EXPECT_TRUE(wasModal && !form.isVisible());
}

TEST(QtModalServices, FileAndFolderDialogsShowEveryColumnWhole)
{
    // A name of 40 characters, a size of three digits before the comma (a sparse file), a folder
    // and a small file, in Italian, whose header "Dimensione" and type "Immagine GIF" run wider
    // than Qt's own column widths.
    InstallItalianTranslations();
    QtModalServices services;
    ScratchDir dir;
    QFile large(dir.write(QStringLiteral("schermata-registrata-2026-12-07-0937.gif"), {}));
    ASSERT_TRUE(large.resize(qint64(999.99 * 1024 * 1024)));
    dir.write(QStringLiteral("a.gif"), QByteArray(12345, 'x'));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cartella")));
    // Every cell's text and icon within its column, every column within the list, no header
    // clipped; once the list has every row with its date (a folder has no size).
    const auto cutCells = [](QFileDialog& dialog, int rows) {
        const auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        const auto loaded = [&] {
            for (int r = 0; r < rows; ++r)
                if (list->model()->index(r, 3, list->rootIndex()).data().toString().isEmpty())
                    return false;
            return list->model()->rowCount(list->rootIndex()) == rows;
        };
        // As a person sees it: shown, and laid out anew after it was widened.
        if (!list || !QTest::qWaitForWindowExposed(&dialog) || !QTest::qWaitFor(loaded, 10000))
            return QStringList{QStringLiteral("no list")};
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QStringList cut;
        const QHeaderView& header = *list->header();
        for (int c = 0; c < 4; ++c) {
            if (header.sectionSize(c) < header.sectionSizeHint(c) || header.sectionViewportPosition(c) + header.sectionSize(c) > list->viewport()->width())
                cut << header.model()->headerData(c, Qt::Horizontal).toString();
            for (int r = 0; r < rows; ++r) {
                const QModelIndex cell = list->model()->index(r, c, list->rootIndex());
                if (list->sizeHintForIndex(cell).width() > list->visualRect(cell).width())
                    cut << cell.data().toString();
            }
        }
        return cut;
    };
    QStringList openCut, folderCut;
    whenModalShows([&](QWidget& w) {
        openCut = cutCells(static_cast<QFileDialog&>(w), 3);
        static_cast<QDialog&>(w).reject();
    });
    services.GetOpenFileName({nullptr, QStringLiteral("Apri"), {QStringLiteral("Gif (*.gif)")}, 0, {}, dir.path(), {}});
    EXPECT_EQ(openCut.join(u'|').toStdString(), "");
    whenModalShows([&](QWidget& w) {
        static_cast<QFileDialog&>(w).setDirectory(dir.path());
        folderCut = cutCells(static_cast<QFileDialog&>(w), 1);
        static_cast<QDialog&>(w).reject();
    });
    EXPECT_EQ(services.BrowseForFolder(nullptr, QStringLiteral("Dove?")), QString());
    EXPECT_EQ(folderCut.join(u'|').toStdString(), "");
}

TEST(QtModalServices, DatesAndSizesAreItalianOnADesktopInC)
{
    // The tests run as on a desktop in the C locale (tests/gui/main.cpp). Qt's file dialog writes
    // its dates and sizes in the system locale, where they would read "7 Dec 2026" and "1.46 KiB".
    const QLocale system = QLocale::system();
    EXPECT_EQ(std::make_tuple(system.toString(QDate(2026, 12, 7), QLocale::ShortFormat), system.formattedDataSize(1500), QLocale().monthName(12)),
              std::make_tuple(QStringLiteral("07/12/26"), QStringLiteral("1,46 KiB"), QStringLiteral("dicembre")));
}

} // namespace
} // namespace skarvel::test
