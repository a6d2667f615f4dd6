#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <functional>
#include <memory>

namespace main_window {

// Starts `run` on a thread of its own, which deletes itself once it has ended. The program
// waits for it before it ends.
QThread* StartOffTheEventLoop(std::function<void()> run);

// Waits for every thread StartOffTheEventLoop started that still runs: the program ends only
// once a closed window's PDF is whole, its pages are with the printer, and no file is still
// being read.
void FinishWorkOffTheEventLoop();

// Runs `work` (which must not throw) on a thread of its own, so that the windows go on
// meanwhile, then hands its result to `then` on the windows' thread, if `receiver` is still
// there. The thread, for a receiver that must wait for it.
template <typename Result>
QPointer<QThread> RunOffTheEventLoop(QObject& receiver, std::function<Result()> work,
                                     std::function<void(Result)> then) {
    return StartOffTheEventLoop(
        [alive = QPointer<QObject>(&receiver), work = std::move(work), then = std::move(then)] {
            auto result = std::make_shared<Result>(work());
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [alive, result, then] {
                    if (alive) {
                        then(std::move(*result));
                    }
                },
                Qt::QueuedConnection);
        });
}

}  // namespace main_window
