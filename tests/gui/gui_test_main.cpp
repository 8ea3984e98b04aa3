// The main of every window test: one offscreen application with the program's font and title.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/program_identity.h"
#include "widgets/window_geometry.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(quorlix::kApplicationTitle));
    quorlix::ApplyProgramFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
