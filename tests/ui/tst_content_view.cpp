// The main view as the user meets it: what it shows for each state, and what typing,
// clicking and the keyboard write back into the state object.
#include "model/InstallerViewModel.h"
#include "support/TestPlatform.h"
#include "ui/Buttons.h"
#include "ui/ContentView.h"
#include "ui/FolderList.h"
#include "ui/FolderPicker.h"
#include "ui/LocationSheet.h"
#include "ui/PluginInstallerApp.h"
#include "ui/FakeServices.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

using namespace Orvoinstaller;
using namespace Orvoinstaller::Testing;

namespace {

struct Window {
    explicit Window(const std::function<void(const Sandbox&)>& fill = {}) {
        if (fill)
            fill(box);
        vm = std::make_shared<InstallerViewModel>(box.platform());
        window = std::make_unique<InstallerWindow>(vm, fakes.services());
        view = window->contentView();
    }
    void show() {
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    FolderListView* list() const { return view->folderListPanel()->list(); }
    FolderRow* row(int index) const { return list()->revealRow(index); }
    const FolderItem& item(int index) const { return vm->folderItems().at(index); }

    Sandbox box;
    FakeServices fakes;
    std::shared_ptr<InstallerViewModel> vm;
    std::unique_ptr<InstallerWindow> window;
    ContentView* view = nullptr;
};

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

QList<FolderItem> manyItems(int count) {
    QList<FolderItem> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("Folder %1").arg(i);
        items.append(FolderItem(QUuid::createUuid(), name, name, static_cast<FolderType>(i % 4),
                                QStringLiteral("/pack/Titles/") + name));
    }
    return items;
}

QByteArray pngBytes() {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class ContentViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstPictureShowsTheScanAndTheAddressArrivesLater() {
        Window w([](const Sandbox& box) {
            box.makeResourceDir(QStringLiteral("Titles/A"));
            box.makeResourceDir(QStringLiteral("Generators/B"));
            box.writeResourceFile(QStringLiteral("tutorial_url.txt"), "https://example.com/guide");
        });
        QVERIFY(!w.view->folderListPanel()->isHidden());
        QVERIFY(w.view->emptyState()->isHidden());
        QCOMPARE(w.row(0)->kindLabel()->text(), QStringLiteral("字幕Titles"));
        QCOMPARE(w.row(1)->kindLabel()->text(), QStringLiteral("发生器Generators"));
        QCOMPARE(w.row(1)->nameField()->text(), QStringLiteral("B"));
        QVERIFY(!w.view->tutorialButton()->isEnabled());
        QVERIFY(w.view->statusLine()->isHidden());

        QTRY_VERIFY(w.view->tutorialButton()->isEnabled());
        const int renders = w.view->renderCount();
        w.view->tutorialButton()->click();
        QCOMPARE(w.fakes.opener->opened, QList<QUrl>{QUrl(QStringLiteral("https://example.com/guide"))});
        w.view->releaseLink()->click();
        QCOMPARE(w.fakes.opener->opened.last(), ContentView::releaseAddress());
        QCoreApplication::processEvents();
        QCOMPARE(w.view->renderCount(), renders);
    }

    void severalChangesInOneTurnRenderOnceInPlace() {
        Window w([](const Sandbox& box) { box.makeResourceDir(QStringLiteral("Titles/A")); });
        QCoreApplication::processEvents();
        const int renders = w.view->renderCount();
        FolderRow* row = w.row(0);
        w.vm->setInstallationProgress(QStringLiteral("开始安装..."));
        w.vm->setIsInstalling(true);
        w.vm->setHasFonts(true);
        QCOMPARE(w.view->renderCount(), renders);
        QCoreApplication::processEvents();
        QCOMPARE(w.view->renderCount(), renders + 1);
        QCOMPARE(w.view->installButton()->text(), QStringLiteral("正在安装..."));
        QVERIFY(w.view->installButton()->isBusy());
        QVERIFY(!w.view->installButton()->isEnabled());
        QVERIFY(!w.view->fontsButton()->isEnabled());
        QVERIFY(w.view->locationButton()->isEnabled());
        QCOMPARE(w.row(0), row);  // the same row widget, updated in place

        w.vm->setIsInstalling(false);
        QCoreApplication::processEvents();
        QCOMPARE(w.view->installButton()->text(), QStringLiteral("安装插件"));
        QVERIFY(!w.view->installButton()->isBusy());
        QVERIFY(w.view->installButton()->isEnabled());
        QVERIFY(w.view->fontsButton()->isEnabled());
    }

    void emptyResourcesShowTheEmptyState() {
        Window w;
        w.show();
        QVERIFY(w.view->folderListPanel()->isHidden());
        QVERIFY(w.view->emptyState()->isVisible());
        QCOMPARE(w.view->emptyState()->text(), QStringLiteral("没有可用的插件文件夹"));
        QCOMPARE(w.view->emptyState()->height(), 100);
        QVERIFY(!w.view->installButton()->isEnabled());
        QVERIFY(!w.view->installButton()->isBusy());
        QVERIFY(!w.view->fontsButton()->isEnabled());
        QVERIFY(w.view->locationButton()->isEnabled());
    }

    void statusLineAppearsAndPushesTheButtonsDown() {
        Window w([](const Sandbox& box) { box.makeResourceDir(QStringLiteral("Titles/A")); });
        w.show();
        auto installTop = [&] {
            return w.view->installButton()->mapTo(w.view->mainColumn(), QPoint(0, 0)).y();
        };
        const int before = installTop();
        w.vm->setInstallationProgress(QStringLiteral("正在安装: A"));
        QCoreApplication::processEvents();
        QVERIFY(w.view->statusLine()->isVisible());
        QCOMPARE(w.view->statusLine()->text(), QStringLiteral("正在安装: A"));
        QCOMPARE(accessibleName(w.view->statusLine()), QStringLiteral("正在安装: A"));
        QTRY_COMPARE(installTop(), before + w.view->statusLine()->height() + 16);

        w.vm->setInstallationProgress(QString());
        QCoreApplication::processEvents();
        QVERIFY(w.view->statusLine()->isHidden());
        QTRY_COMPARE(installTop(), before);
    }

    void typingWritesTheNewNameOfThatItemOnly() {
        Window w([](const Sandbox& box) {
            box.makeResourceDir(QStringLiteral("Titles/Alpha"));
            box.makeResourceDir(QStringLiteral("Effects/Beta"));
            box.makeResourceDir(QStringLiteral("Transitions/Gamma"));
        });
        w.show();
        const QList<FolderItem> before = w.vm->folderItems();
        QLineEdit* field = w.row(1)->nameField();
        field->setFocus();
        field->setCursorPosition(2);
        QTest::keyClicks(field, QStringLiteral("X"));
        QCOMPARE(w.item(1).newName, QStringLiteral("BeXta"));
        QCoreApplication::processEvents();

        // Re-rendered, still typing in the same field at the same place.
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->cursorPosition(), 3);
        QCOMPARE(field->text(), QStringLiteral("BeXta"));
        for (int i : {0, 2})
            QCOMPARE(w.item(i).newName, before[i].newName);
        QCOMPARE(w.item(1).id(), before[1].id());
        QCOMPARE(w.item(1).originalName, QStringLiteral("Beta"));
        QCOMPARE(w.item(1).path, before[1].path);

        // Return writes nothing more.
        QSignalSpy changes(w.vm.get(), &InstallerViewModel::objectWillChange);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(changes.count(), 0);

        // Clearing stores the empty string; the placeholder shows.
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(w.item(1).newName, QString());
        QCoreApplication::processEvents();
        QCOMPARE(field->text(), QString());
        QCOMPARE(field->placeholderText(), QStringLiteral("在FCPX中的显示名称"));
    }

    void pickerConfirmsCancelsAndOpensInTheKindsFolder() {
        Window w([](const Sandbox& box) {
            box.makeResourceDir(QStringLiteral("Titles/T"));
            box.makeResourceDir(QStringLiteral("Effects/E"));
            box.makeResourceDir(QStringLiteral("Generators/G"));
            box.makeResourceDir(QStringLiteral("Transitions/R"));
        });
        w.show();
        const QString home = w.box.homePath();
        const QString base = home + QStringLiteral("/Movies/Motion Templates.localized/");
        auto& chooser = *w.fakes.chooser;

        chooser.answers = {base + QStringLiteral("Titles.localized/Existing Title/"), std::nullopt,
                           QStringLiteral("/elsewhere/Other"),
                           base + QStringLiteral("Transitions.localized")};
        QTest::mouseClick(w.row(0)->picker(), Qt::LeftButton);
        QCOMPARE(w.item(0).newName, QStringLiteral("Existing Title"));
        QCoreApplication::processEvents();
        QCOMPARE(w.row(0)->nameField()->text(), QStringLiteral("Existing Title"));

        // Cancel keeps what was typed before.
        QTest::keyClicks(w.row(1)->nameField(), QStringLiteral("2"));
        w.row(1)->picker()->click();
        QCOMPARE(w.item(1).newName, QStringLiteral("E2"));

        w.row(2)->picker()->click();
        QCOMPARE(w.item(2).newName, QStringLiteral("Other"));
        w.row(3)->picker()->click();
        QCOMPARE(w.item(3).newName, QStringLiteral("Transitions.localized"));

        QCOMPARE(chooser.startFolders,
                 (QStringList{base + QStringLiteral("Titles.localized"),
                              base + QStringLiteral("Effects.localized"),
                              base + QStringLiteral("Generators.localized"),
                              base + QStringLiteral("Transitions.localized")}));
        QCOMPARE(w.row(0)->picker()->toolTip(), QStringLiteral("选择已有文件夹"));
    }

    void sheetShowsThePictureWhenReadable_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("shown");
        QTest::newRow("picture") << pngBytes() << true;
        QTest::newRow("unreadable") << QByteArray("not a picture") << false;
        QTest::newRow("missing") << QByteArray() << false;
    }

    void sheetShowsThePictureWhenReadable() {
        QFETCH(QByteArray, content);
        QFETCH(bool, shown);
        Window w([&](const Sandbox& box) {
            box.makeResourceDir(QStringLiteral("Titles/A"));
            if (!content.isEmpty())
                box.writeResourceFile(LocationSheet::pictureFileName(), content);
        });
        w.show();
        QTest::mouseClick(w.view->locationButton(), Qt::LeftButton);
        QVERIFY(w.vm->showingImageAlert());
        QCoreApplication::processEvents();
        QPointer<LocationSheet> sheet = w.view->sheet();
        QVERIFY(sheet);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QCOMPARE(sheet->picture() != nullptr, shown);
        QCOMPARE(sheet->closeButton()->text(), QStringLiteral("关闭"));

        QTest::mouseClick(sheet->closeButton(), Qt::LeftButton);
        QVERIFY(!w.vm->showingImageAlert());
        QTRY_VERIFY(!sheet);
    }

    void returnPressesTheSheetsAndTheAlertsButton() {
        Window w([](const Sandbox& box) { box.makeResourceDir(QStringLiteral("Titles/A")); });
        w.show();
        w.vm->setShowingImageAlert(true);
        QCoreApplication::processEvents();
        QVERIFY(w.view->sheet());
        QTest::keyClick(w.view->sheet(), Qt::Key_Return);
        QVERIFY(!w.vm->showingImageAlert());

        w.vm->setShowInstallationAlert(true);
        QCoreApplication::processEvents();
        QVERIFY(w.view->alert());
        QTest::keyClick(w.view->alert(), Qt::Key_Return);
        QVERIFY(!w.vm->showInstallationAlert());
    }

    void alertSaysHowTheRunWentAndOkClearsItsFlag() {
        Window w([](const Sandbox& box) { box.makeResourceDir(QStringLiteral("Titles/A")); });
        w.show();
        w.vm->setInstallationProgress(QStringLiteral("安装完成！"));
        w.vm->setShowInstallationAlert(true);
        QCoreApplication::processEvents();
        QPointer<QMessageBox> alert = w.view->alert();
        QVERIFY(alert);
        QCOMPARE(alert->text(), QStringLiteral("安装完成！"));
        QCOMPARE(alert->informativeText(), QStringLiteral("插件安装成功！"));
        QCOMPARE(alert->buttons().size(), 1);
        QAbstractButton* ok = alert->buttons().first();
        QCOMPARE(ok->text(), QStringLiteral("确定"));
        QCOMPARE(alert->defaultButton(), ok);

        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!w.vm->showInstallationAlert());
        QTRY_VERIFY(!alert);
        QCoreApplication::processEvents();
        QCOMPARE(w.view->statusLine()->text(), QStringLiteral("安装完成！"));

        // A run with failures is not reported as a success.
        w.vm->setInstallationSummary({3, 1});
        w.vm->setShowInstallationAlert(true);
        QCoreApplication::processEvents();
        QVERIFY(w.view->alert());
        QCOMPARE(w.view->alert()->informativeText(), w.vm->installationAlertMessage());
        QVERIFY(w.view->alert()->informativeText() != QStringLiteral("插件安装成功！"));
    }

    void everyControlHasAMeaningfulName() {
        Window w([](const Sandbox& box) { box.makeResourceDir(QStringLiteral("Transitions/A")); });
        w.show();
        QCOMPARE(accessibleName(w.view->installButton()), QStringLiteral("安装插件"));
        QCOMPARE(accessibleName(w.view->fontsButton()), QStringLiteral("安装字体"));
        QCOMPARE(accessibleName(w.view->locationButton()), QStringLiteral("插件位置"));
        QCOMPARE(accessibleName(w.view->tutorialButton()), QStringLiteral("使用教程"));
        QCOMPARE(accessibleName(w.row(0)->picker()), QStringLiteral("选择已有文件夹"));
        const QString field = accessibleName(w.row(0)->nameField());
        QVERIFY2(field.contains(QStringLiteral("在FCPX中的显示名称")) &&
                     field.contains(QStringLiteral("转场Transitions")),
                 qPrintable(field));
        QVERIFY(!accessibleName(w.view->releaseLink()).isEmpty());
    }

    void tabReachesEveryControlInOrder() {
        Window w([](const Sandbox& box) {
            for (int i = 0; i < 8; ++i)
                box.makeResourceDir(QStringLiteral("Titles/T%1").arg(i));
            box.writeResourceFile(QStringLiteral("Fonts/a.ttf"));
        });
        w.show();
        QTRY_VERIFY(w.view->tutorialButton()->isEnabled());
        w.row(0)->nameField()->setFocus(Qt::MouseFocusReason);

        // Rows are recycled as the list scrolls, so each stop is named by the item it shows.
        auto describe = [&w](QWidget* widget) -> QString {
            for (QWidget* up = widget; up; up = up->parentWidget()) {
                auto* row = qobject_cast<FolderRow*>(up);
                if (!row)
                    continue;
                qsizetype index = 0;
                while (w.vm->folderItems()[index].id() != row->itemId())
                    ++index;
                const char* part = widget == row->nameField() ? "field" : widget == row->picker() ? "picker" : "?";
                return QStringLiteral("%1 %2").arg(QLatin1String(part)).arg(index);
            }
            return QString();
        };
        QList<QWidget*> visited{QApplication::focusWidget()};
        QStringList stops{describe(visited.last())};
        for (int i = 0; i < 8 * 2 + 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
            stops << describe(visited.last());
        }
        QStringList expected;
        for (int i = 0; i < 8; ++i)
            expected << QStringLiteral("field %1").arg(i) << QStringLiteral("picker %1").arg(i);
        QCOMPARE(stops.mid(0, 16), expected);
        QCOMPARE(visited[16], w.view->installButton());
        QCOMPARE(visited[17], w.view->fontsButton());
        QCOMPARE(visited[18], w.view->locationButton());
        QCOMPARE(visited[19], w.view->tutorialButton());
        QCOMPARE(visited[20], w.view->releaseLink());

        // Back from the buttons into the list lands on its last row's picker, in sight.
        w.view->installButton()->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(w.view->installButton(), Qt::Key_Backtab);
        FolderRow* last = w.list()->revealRow(7);
        QCOMPARE(QApplication::focusWidget(), last->picker());
        QVERIFY(last->isVisible());
        QVERIFY(w.list()->viewport()->rect().contains(last->geometry()));
    }

    void twoThousandRowsStayCheap() {
        // How fast is measured by bench/scale.sh; here, that the work per keystroke stays small.
        Window w;
        w.vm->setFolderItems(manyItems(2000));
        QCoreApplication::processEvents();
        w.show();

        // Only the rows in sight exist as widgets.
        const int inSight = 150 / w.list()->rowHeight() + 2;
        QVERIFY2(w.list()->boundRows().size() <= inSight,
                 qPrintable(QString::number(w.list()->boundRows().size())));

        QLineEdit* field = w.row(1000)->nameField();
        field->setFocus();
        field->end(false);
        for (int i = 0; i < 25; ++i) {
            const int rendersBefore = w.view->renderCount();
            QTest::keyClick(field, Qt::Key_A);
            QCoreApplication::processEvents();
            QCOMPARE(w.view->renderCount(), rendersBefore + 1);  // one re-render per keystroke
            QVERIFY(w.list()->boundRows().size() <= inSight + 1);
        }
        QCOMPARE(w.item(1000).newName, QStringLiteral("Folder 1000") + QString(25, QLatin1Char('a')));
        QCOMPARE(QApplication::focusWidget(), field);

        // Scrolling away keeps the field being typed in, with its focus.
        w.list()->revealRow(0);
        QCOMPARE(QApplication::focusWidget(), field);
        QTest::keyClick(field, Qt::Key_B);
        QCOMPARE(w.item(1000).newName.right(1), QStringLiteral("b"));
    }

    void windowKeepsItsMinimumAndCentresTheColumn() {
        Window w([](const Sandbox& box) { box.makeResourceDir(QStringLiteral("Titles/A")); });
        w.show();
        w.window->resize(300, 200);
        QTRY_COMPARE(w.window->size(), QSize(900, 550));
        QCOMPARE(w.view->mainColumn()->width(), 480);

        w.window->resize(1400, 900);
        QTRY_COMPARE(w.window->size(), QSize(1400, 900));
        const QRect column = w.view->mainColumn()->geometry();
        QCOMPARE(column.width(), 480);
        QVERIFY(qAbs(column.center().x() - w.view->width() / 2) <= 1);
        const QRect footer = w.view->footer()->geometry();
        QVERIFY(qAbs(footer.center().x() - w.view->width() / 2) <= 1);
        QVERIFY(footer.top() >= column.bottom());
    }
};

UI_TEST_MAIN(ContentViewTest)
#include "tst_content_view.moc"
