// Starts the built program on the demo pack and checks its start-up trace on standard output.
// Only the output is looked at, never the window.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

const QString kListing = QStringLiteral("资源目录内容: ");
const QString kSummary = QStringLiteral("扫描完成，共找到 5 个文件夹");

// Reads back a rendered name list: ["a", "b \"c\""] gives a and b "c".
std::optional<QStringList> parseNameList(const QString& text) {
    if (!text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')))
        return std::nullopt;
    QStringList names;
    qsizetype i = 1;
    const qsizetype end = text.size() - 1;
    while (i < end) {
        if (!names.isEmpty()) {
            if (text.mid(i, 2) != QLatin1String(", "))
                return std::nullopt;
            i += 2;
        }
        if (text[i] != QLatin1Char('"'))
            return std::nullopt;
        QString name;
        for (++i; i < end && text[i] != QLatin1Char('"'); ++i) {
            if (text[i] == QLatin1Char('\\') && i + 1 < end)
                ++i;
            name += text[i];
        }
        if (i >= end)
            return std::nullopt;
        ++i;  // closing quote
        names << name;
    }
    return names;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

class ExecutableTrace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpTraceOfTheDemoPack() {
        if (!PLUGININSTALLER_DEMO_PACK)
            QSKIP("the build lays another pack into the bundle");
        const QString executable = QFileInfo(QStringLiteral(PLUGININSTALLER_EXECUTABLE)).canonicalFilePath();
        QVERIFY2(!executable.isEmpty(), PLUGININSTALLER_EXECUTABLE);
        const QString bundle = QDir::cleanPath(QFileInfo(executable).absolutePath() + "/../..");
        const QString resources = bundle + QStringLiteral("/Contents/Resources");

        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(home.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(executable, {});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

        // Read until the scan's summary and the tutorial's resource trace after it are there,
        // then a moment more for a line the tutorial address might print.
        QByteArray output;
        auto lines = [&] { return QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts); };
        auto complete = [&] {
            const QStringList seen = lines();
            const auto summary = seen.indexOf(kSummary);
            return summary >= 0 && seen.size() >= summary + 6 && output.endsWith('\n');
        };
        QElapsedTimer clock;
        clock.start();
        while (!complete() && clock.elapsed() < 120000 && program.state() != QProcess::NotRunning) {
            program.waitForReadyRead(200);
            output += program.readAllStandardOutput();
        }
        QElapsedTimer grace;
        grace.start();
        while (grace.elapsed() < 500 && program.state() != QProcess::NotRunning) {
            program.waitForReadyRead(100);
            output += program.readAllStandardOutput();
        }
        output += program.readAllStandardOutput();
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(10000)) {
                program.kill();
                program.waitForFinished(10000);
            }
        }
        const QStringList trace = lines();
        QVERIFY2(trace.size() >= 21, qPrintable(trace.join(QLatin1Char('\n'))));

        const QStringList locate{
            QStringLiteral("开始查找资源路径..."),
            QStringLiteral("Bundle 标识符: " PLUGININSTALLER_BUNDLE_ID),
            QStringLiteral("Bundle 路径: ") + bundle,
            QStringLiteral("找到资源路径: ") + resources,
        };
        QCOMPARE(trace.mid(0, 4), locate);
        QVERIFY(trace.at(4).startsWith(kListing));
        const auto listed = parseNameList(trace.at(4).mid(kListing.size()));
        QVERIFY2(listed, qPrintable(trace.at(4)));
        const QStringList onDisk = QDir(resources).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QCOMPARE(sorted(*listed), sorted(onDisk));
        for (const char* shipped : {"Titles", "Effects", "Generators", "Transitions", "Fonts",
                                    "post.command", "tutorial_url.txt"})
            QVERIFY2(listed->contains(QString::fromUtf8(shipped)), shipped);

        QVERIFY2(trace.at(5).startsWith(QStringLiteral("资源目录权限: ")), qPrintable(trace.at(5)));

        auto scanning = [&](const char* kind) {
            return QStringLiteral("正在扫描文件夹: ") + resources + QLatin1Char('/') + QString::fromUtf8(kind);
        };
        auto found = [](const char* name, const char* kind) {
            return QStringLiteral("找到文件夹: ") + QString::fromUtf8(name) + QStringLiteral(" in ") +
                   QString::fromUtf8(kind);
        };
        QCOMPARE(trace.at(6), scanning("Titles"));
        // Within a kind the order is the file system's.
        QCOMPARE(sorted(trace.mid(7, 2)),
                 sorted({found("Lower Third", "Titles"), found("Orvo 标题 Basic", "Titles")}));
        QCOMPARE(trace.mid(9, 7),
                 (QStringList{scanning("Effects"), found("Orvo 光效 Glow", "Effects"),
                              scanning("Generators"), found("Orvo Gradient 背景", "Generators"),
                              scanning("Transitions"), found("Orvo 推移 Push", "Transitions"),
                              kSummary}));

        // The tutorial address locates the resources again, with the same trace, and reads
        // its file without complaint.
        QCOMPARE(trace.mid(16, 5), trace.mid(0, 5));
        for (const QString& line : trace.mid(21))
            QVERIFY2(!line.startsWith(QStringLiteral("无法读取教程URL: ")) && !line.startsWith(QStringLiteral("❌")),
                     qPrintable(line));
    }

    void nameListsAreReadBack() {
        QCOMPARE(parseNameList(QStringLiteral("[]")), std::optional<QStringList>(QStringList{}));
        QCOMPARE(parseNameList(QStringLiteral("[\"a, b\", \"q\\\"\\\\\"]")),
                 std::optional<QStringList>(QStringList{"a, b", "q\"\\"}));
        QVERIFY(!parseNameList(QStringLiteral("[a]")));
    }
};

QTEST_GUILESS_MAIN(ExecutableTrace)
#include "tst_executable_trace.moc"
