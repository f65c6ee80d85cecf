#include "model/InstallerViewModel.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    auto viewModel = std::make_shared<Orvoinstaller::InstallerViewModel>();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
