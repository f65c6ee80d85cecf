// The per-kind table: every kind-dependent text and path, and the kinds' order.
#include "model/FolderType.h"

#include <QtTest>

using namespace Orvoinstaller;

Q_DECLARE_METATYPE(Orvoinstaller::FolderType)

class FolderTypeTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void perKindValues_data() {
        QTest::addColumn<FolderType>("type");
        QTest::addColumn<int>("ordinal");
        QTest::addColumn<QString>("resourceFolder");
        QTest::addColumn<QString>("kindFolder");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("pickerStart");
        QTest::newRow("titles") << FolderType::titles << 0 << "Titles" << "Titles.localized"
                                << QStringLiteral("字幕Titles")
                                << "~/Movies/Motion Templates.localized/Titles.localized";
        QTest::newRow("effects") << FolderType::effects << 1 << "Effects" << "Effects.localized"
                                 << QStringLiteral("效果Effects")
                                 << "~/Movies/Motion Templates.localized/Effects.localized";
        QTest::newRow("generators") << FolderType::generators << 2 << "Generators"
                                    << "Generators.localized" << QStringLiteral("发生器Generators")
                                    << "~/Movies/Motion Templates.localized/Generators.localized";
        QTest::newRow("transitions") << FolderType::transitions << 3 << "Transitions"
                                     << "Transitions.localized" << QStringLiteral("转场Transitions")
                                     << "~/Movies/Motion Templates.localized/Transitions.localized";
    }
    void perKindValues() {
        QFETCH(FolderType, type);
        QFETCH(int, ordinal);
        QFETCH(QString, resourceFolder);
        QFETCH(QString, kindFolder);
        QFETCH(QString, label);
        QFETCH(QString, pickerStart);
        QCOMPARE(static_cast<int>(type), ordinal);
        QCOMPARE(resourceFolderName(type), resourceFolder);
        QCOMPARE(kindFolderName(type), kindFolder);
        QCOMPARE(kindLabel(type), label);
        QCOMPARE(pickerStartFolder(type), pickerStart);
    }

    void oneByteIsEnough() { QCOMPARE(sizeof(FolderType), std::size_t{1}); }
};

QTEST_GUILESS_MAIN(FolderTypeTable)
#include "tst_folder_type.moc"
