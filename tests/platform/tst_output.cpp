// The trace on standard output reaches a pipe turn after turn, not only at start-up.
#include "platform/Output.h"

#include <QtTest>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace Orvoinstaller;

class OutputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each turn's lines go out when it ends; a thread without an event loop's at once.
    void linesReachAPipeAtTheEndOfEachTurn() {
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        ::dup2(fds[1], STDOUT_FILENO);
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        const auto piped = [&] {
            QByteArray bytes;
            char buffer[4096];
            for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
                bytes.append(buffer, n);
            return bytes;
        };
        StdoutOutput output;
        QList<QByteArray> seen;
        for (int turn = 1; turn <= 3; ++turn) {
            output.line(QStringLiteral("第 %1 轮").arg(turn));
            output.line(QStringLiteral("second line"));
            seen << piped();
            QCoreApplication::processEvents();
            seen << piped();
        }
        std::thread([&] { output.line(QStringLiteral("from a worker")); }).join();
        seen << piped();
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        ::close(fds[0]);
        ::close(fds[1]);

        QCOMPARE(seen,
                 QList<QByteArray>({"", "第 1 轮\nsecond line\n", "", "第 2 轮\nsecond line\n", "",
                                    "第 3 轮\nsecond line\n", "from a worker\n"}));
    }
};

QTEST_GUILESS_MAIN(OutputTest)
#include "tst_output.moc"
