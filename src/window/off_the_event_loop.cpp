#include "window/off_the_event_loop.h"

#include <QThread>
#include <vector>

namespace main_window {
namespace {

std::vector<QPointer<QThread>>& RunningWork() {
    static std::vector<QPointer<QThread>> running;
    return running;
}

}  // namespace

QThread* StartOffTheEventLoop(std::function<void()> run) {
    QThread* worker = QThread::create(std::move(run));
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    std::erase_if(RunningWork(), [](const QPointer<QThread>& thread) { return !thread; });
    RunningWork().emplace_back(worker);
    worker->start();
    return worker;
}

void FinishWorkOffTheEventLoop() {
    for (const QPointer<QThread>& thread : RunningWork()) {
        if (thread) {
            thread->wait();
        }
    }
    RunningWork().clear();
}

}  // namespace main_window
