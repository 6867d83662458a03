#include <gtest/gtest.h>

#include <QCoreApplication>

// One Qt application for the whole run: the Qt main loop and the update source need its event
// loop; tests spin it with E2e::runUntil().
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
