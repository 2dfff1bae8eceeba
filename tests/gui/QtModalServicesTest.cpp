// The real dialogs behind the modal services, driven from inside their own modal loops.
#include "platform/QtModalServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace skarvel::test {
namespace {

// Runs `act` on the modal widget once it is up, from inside its loop.
void whenModalShows(std::function<void(QWidget&)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget* modalWidget = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(*modalWidget);
        }
    });
    poll->start(10);
}

TEST(QtModalServices, MessageBoxShowsTitleIconAndLinesWithOneOkButton)
{
    QtModalServices services;
    QWidget owner;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    whenModalShows([&](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttonCount = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    services.MsgBox(&owner, QStringLiteral("prima riga\r\n seconda"), vbCritical,
                    QStringLiteral("Skarvel"));
    EXPECT_EQ(text, QStringLiteral("prima riga\n seconda"));
    EXPECT_EQ(title, QStringLiteral("Skarvel"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttonCount, 1);

    whenModalShows([&](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    services.MsgBox(&owner, QStringLiteral("ok"), vbInformation, QStringLiteral("Skarvel"));
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST(QtModalServices, ShowModalReturnsOnceTheFormIsClosedAndBlocksOtherWindows)
{
    QtModalServices services;
    QWidget form;
    bool wasModal = false;
    QTimer::singleShot(20, &form, [&] {
        wasModal = QApplication::activeModalWidget() == &form;
        form.close();
    });
    services.ShowModal(form);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace skarvel::test
