#include "app/QtYielder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace papyrant {

void QtYielder::yield()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtYielder::pause(std::chrono::milliseconds duration)
{
    if (m_stop)
        return;
    // A nested loop handles window events as they arrive, so the window repaints and answers during the wait.
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace papyrant
