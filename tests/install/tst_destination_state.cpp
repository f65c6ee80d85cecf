// New or merge as shown before a run is always what the run's own plan does.
#include "install/DestinationState.h"
#include "install/TemplateInstaller.h"
#include "support/TestPlatform.h"

#include <QtTest>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kinds = u"home/Movies/Motion Templates.localized/"_s;

} // namespace

class DestinationStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // `expected` is empty where the file system decides (case, Unicode normal form).
    void agreesWithThePlan_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("links"); // "name=target" in the titles' folder
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QString titles = kinds + u"Titles.localized/"_s;
        QTest::newRow("a folder") << QStringList{titles + u"T"_s} << QStringList() << QStringList()
                                  << u"T"_s << u"merge"_s;
        QTest::newRow("nothing") << QStringList() << QStringList() << QStringList() << u"T"_s
                                 << u"new"_s;
        QTest::newRow("a file") << QStringList() << QStringList{titles + u"T"_s} << QStringList()
                                << u"T"_s << u"new"_s;
        QTest::newRow("a link the user made to a folder")
            << QStringList{titles + u"Real"_s} << QStringList() << QStringList{u"T=Real"_s}
            << u"T"_s << u"merge"_s;
        QTest::newRow("a link to a file") << QStringList() << QStringList{titles + u"F"_s}
                                          << QStringList{u"T=F"_s} << u"T"_s << u"new"_s;
        QTest::newRow("another kind's folder")
            << QStringList{kinds + u"Effects.localized/T"_s} << QStringList() << QStringList()
            << u"T"_s << u"new"_s;
        QTest::newRow("a hidden folder") << QStringList{titles + u".T"_s} << QStringList()
                                         << QStringList() << u".T"_s << u"new"_s;
        QTest::newRow("other case") << QStringList{titles + u"Lower Third"_s} << QStringList()
                                    << QStringList() << u"lower THIRD"_s << QString();
        QTest::newRow("other normal form") << QStringList{titles + u"Caf\u00e9"_s} << QStringList()
                                           << QStringList() << u"Cafe\u0301"_s << QString();
    }

    void agreesWithThePlan() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QStringList, links);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        Sandbox box;
        for (const QString& folder : folders)
            box.makeDir(folder);
        for (const QString& file : files)
            box.writeFile(file);
        const QString titles = box.makeDir(kinds + u"Titles.localized"_s);
        for (const QString& link : links)
            QVERIFY(QFile::link(link.section(u'=', 1), titles + u'/' + link.section(u'=', 0, 0)));
        const QString source = box.makeResourceDir(u"Titles/S"_s);
        box.writeResourceFile(u"Titles/S/s"_s);

        const Platform platform = box.platform();
        const TemplateInstaller installer(*platform.fileSystem, box.output());
        const auto plan = installer.plan(source, FolderType::titles, name);
        const bool planned = plan && plan.value().merge;
        const bool shown = destinationState(InstalledFolders::list(*platform.fileSystem),
                                            FolderType::titles, name) == DestinationState::merge;
        QCOMPARE(shown, planned);
        if (!expected.isEmpty())
            QCOMPARE(shown, expected == u"merge"_s);
    }
};

QTEST_GUILESS_MAIN(DestinationStateTest)
#include "tst_destination_state.moc"
