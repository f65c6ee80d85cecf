#pragma once

#include "platform/FolderChooser.h"
#include "platform/UrlOpener.h"
#include "ui/ContentView.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <memory>

namespace Orvoinstaller::Testing {

// Answers the folder dialog from a list prepared by the test; records where it opened.
class FakeFolderChooser : public FolderChooser {
public:
    std::optional<QString> chooseFolder(const QString& startFolder) override {
        startFolders << startFolder;
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<QString>> answers;  // nothing = cancel
    QStringList startFolders;
};

class RecordingUrlOpener : public UrlOpener {
public:
    void open(const QUrl& url) override { opened << url; }
    QList<QUrl> opened;
};

struct FakeServices {
    std::shared_ptr<FakeFolderChooser> chooser = std::make_shared<FakeFolderChooser>();
    std::shared_ptr<RecordingUrlOpener> opener = std::make_shared<RecordingUrlOpener>();
    UiServices services() const { return {chooser, opener}; }
};

// Widget tests run offscreen unless told otherwise.
inline void useOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace Orvoinstaller::Testing

// QTEST_MAIN with the offscreen platform chosen before the application starts.
#define UI_TEST_MAIN(TestClass)                                                                   \
    int main(int argc, char* argv[]) {                                                            \
        Orvoinstaller::Testing::useOffscreenPlatform();                                           \
        QApplication app(argc, argv);                                                             \
        TestClass test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                \
        return QTest::qExec(&test, argc, argv);                                                   \
    }
