#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace quorlix {

// SIGINT, SIGTERM and SIGHUP turned into a Qt signal on the GUI thread (a desktop logout ends
// the program as its Close button does); the previous handling comes back when the object goes.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quorlix
