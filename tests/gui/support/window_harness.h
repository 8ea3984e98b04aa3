#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/logs_window.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "support/scripted_dialogs.h"

namespace quorlix::test {

// The control of that type and object name below root; fails the test when there is none.
template <typename T>
T& Child(const QObject* root, const char* name) {
    T* child = root->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        ADD_FAILURE() << "no control named " << name;
        throw std::runtime_error(std::string("no control named ") + name);
    }
    return *child;
}

// The program's windows as main() makes them, with scripted dialogs. The job's pauses between its
// steps do not wait for time: each waits until the progress window has shown every event reported
// before it, so that what a test does on a report lands before the job's next step, as a click
// does within the pause.
struct WindowHarness {
    ScriptedDialogs dialogs;
    ProgressWindow progress;
    LogsWindow logs;
    std::unique_ptr<MainWindow> window;

    WindowHarness() {
        progress.SetStepPause([window = &progress](std::chrono::milliseconds) {
            QMetaObject::invokeMethod(
                window, [] {}, Qt::BlockingQueuedConnection);
        });
        window = std::make_unique<MainWindow>(dialogs, progress, logs);
        window->show();
    }

    template <typename T>
    T& operator()(const char* name) const {
        return Child<T>(window.get(), name);
    }
};

// Runs action once a window of type W is visible (a modal window's own event loop runs it).
template <typename W>
void WhenShown(std::function<void(W&)> action) {
    auto* poll = new QTimer();
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* target = qobject_cast<W*>(widget);
            if (target != nullptr && target->isVisible()) {
                poll->stop();
                poll->deleteLater();
                action(*target);
                return;
            }
        }
    });
    poll->start();
}

}  // namespace quorlix::test
