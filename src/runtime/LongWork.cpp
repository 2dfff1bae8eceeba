#include "runtime/LongWork.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <atomic>
#include <system_error>
#include <thread>

namespace skarvel {

namespace {

// How often the work's progress is shown: often enough to see it move, seldom enough to cost
// nothing beside the work.
constexpr int kShowEveryMs = 50;

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

LongWork::LongWork()
{
    QCoreApplication::instance()->installEventFilter(this);
}

LongWork::~LongWork()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool LongWork::eventFilter(QObject*, QEvent* event)
{
    if (!isInput(event->type()))
        return false;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            stop();
    }
    // Taken, so that no shortcut is looked for behind it, and dropped.
    event->accept();
    return true;
}

void LongWork::advance(std::size_t done)
{
    m_done = done;
    if (stepGate)
        stepGate(done);
}

void LongWork::run(const std::function<void(const StopToken&)>& work, const std::function<void()>& shown)
{
    QEventLoop loop;
    QTimer show;
    if (shown)
        QObject::connect(&show, &QTimer::timeout, &loop, [&] { shown(); });
    std::atomic<bool> done{false};
    std::thread worker;
    try {
        worker = std::thread([&] {
            work(m_stop);
            done = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the work runs here, with the window still for that time.
        work(m_stop);
        if (shown)
            shown();
        return;
    }
    show.start(kShowEveryMs);
    loop.exec();
    // The loop also ends when the application quits: the work is stopped then, and must still be
    // over before what it works on goes.
    if (!done)
        stop();
    worker.join();
    show.stop();
    if (shown)
        shown();
}

} // namespace skarvel
