// What a window test may reach: the folders Qt writes into (font caches,
// settings, runtime files, the program's journal) lie in a fresh folder of
// the process, and the print server is one of the tests' own.
#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <unistd.h>

#include "PrintGuard.h"

namespace {

TEST(Isolation, QtWritesOnlyIntoTheProcessFolder)
{
    const QString home = QDir::homePath();
    // HOME is <fresh folder>/home, the fresh folder named after this process
    const QString fresh = QDir(home).absoluteFilePath("..");
    EXPECT_TRUE(QDir::cleanPath(fresh).contains(QString("-%1-").arg(getpid()))) << home.toStdString();
    for (const auto location : {QStandardPaths::GenericCacheLocation, QStandardPaths::GenericConfigLocation,
                                QStandardPaths::GenericDataLocation, QStandardPaths::AppDataLocation}) {
        const QString path = QStandardPaths::writableLocation(location);
        EXPECT_TRUE(path.startsWith(home + '/')) << location << ": " << path.toStdString();
    }
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    EXPECT_TRUE(runtime.startsWith(QDir::cleanPath(fresh) + '/')) << runtime.toStdString();
}

TEST(Isolation, NoPrinterOfTheMachineWithinReach)
{
    EXPECT_EQ(ForeignPrintServer().toStdString(), "");
    EXPECT_EQ(ForeignPrinter().toStdString(), "");
}

}  // namespace
