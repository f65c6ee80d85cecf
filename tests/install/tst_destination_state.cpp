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
    // `entries` in the titles' folder, "|" between: "F/" a folder, "F" a file, "L->T" a link.
    // `expected` is empty where the file system decides (case, Unicode normal form).
    void agreesWithThePlan_data() {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a folder") << u"T/"_s << u"T"_s << u"merge"_s;
        QTest::newRow("nothing") << QString() << u"T"_s << u"new"_s;
        QTest::newRow("a file") << u"T"_s << u"T"_s << u"new"_s;
        QTest::newRow("a link the user made to a folder")
            << u"Real/|T->Real"_s << u"T"_s << u"merge"_s;
        QTest::newRow("a link to a file") << u"F|T->F"_s << u"T"_s << u"new"_s;
        QTest::newRow("another kind's folder")
            << u"../Effects.localized/T/"_s << u"T"_s << u"new"_s;
        QTest::newRow("a hidden folder") << u".T/"_s << u".T"_s << u"new"_s;
        QTest::newRow("other case") << u"Lower Third/"_s << u"lower THIRD"_s << QString();
        QTest::newRow("other normal form") << u"Caf\u00e9/"_s << u"Cafe\u0301"_s << QString();
    }

    void agreesWithThePlan() {
        QFETCH(QString, entries);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        Sandbox box;
        const QString titles = box.makeDir(kinds + u"Titles.localized"_s);
        for (const QString& entry : entries.split(u'|', Qt::SkipEmptyParts)) {
            const QString path = titles + u'/' + entry.section(u"->"_s, 0, 0);
            if (entry.contains(u"->"_s))
                QVERIFY(QFile::link(entry.section(u"->"_s, 1), path));
            else if (entry.endsWith(u'/'))
                box.makeDir(path);
            else
                box.writeFile(path);
        }
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
