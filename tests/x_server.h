// A private X server (Xvfb) for the tests that need a real display, and a
// quiet wait that fails once, naming what it waited for.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QThread>

namespace testing {

class XServer {
public:
    ~XServer() { stop(); }

    // Starts Xvfb on a free display; an empty result and `error` when it cannot.
    // -noreset: the server does not reset when its last client disconnects,
    // so a program that connects just after a probe is never refused.
    QString start(QString* error, const QString& screen = QStringLiteral("1024x768x24"))
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            *error = QStringLiteral("Xvfb is not installed: this test needs a real X server");
            return {};
        }
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-noreset", "-nolisten", "tcp",
                                                "-screen", "0", screen});
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && process_.state() != QProcess::NotRunning &&
               clock.elapsed() < 15000) {
            process_.waitForReadyRead(100);
        }
        if (!process_.canReadLine()) {
            *error = QStringLiteral("waited %1 s for Xvfb to name its display: %2")
                         .arg(clock.elapsed() / 1000.0)
                         .arg(QString::fromLocal8Bit(process_.readAllStandardError()).trimmed());
            stop();
            return {};
        }
        display_ = ":" + QString::fromLatin1(process_.readLine().trimmed());
        return display_;
    }

    void stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
    }

    QString display() const { return display_; }
    qint64 pid() const { return process_.processId(); }

private:
    QProcess process_;
    QString display_;
};

// Polls `ready` until it holds or `timeoutMs` pass; events are processed
// meanwhile. Says nothing: the caller fails once with a message of its own.
template <typename Ready>
bool WaitFor(Ready ready, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

// Runs a tool against the display; false and its standard error in `error`
// when it fails. LC_ALL=C.UTF-8 lets xprop print the titles as text.
inline bool Run(const QString& program, const QStringList& arguments, const QString& display,
         QByteArray* output = nullptr, QString* error = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("LC_ALL", "C.UTF-8");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    if (!ok && error != nullptr) {
        *error = program + ": " + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    }
    if (ok && output != nullptr) {
        *output = process.readAllStandardOutput();
    }
    return ok;
}

}  // namespace testing
