#pragma once

#include "Application.h"

#include <QApplication>
#include <QTest>
#include <QTranslator>

// Runs one test class in an application set up like the real program's, headless unless
// the environment asks for a real platform.
#define TARVONA_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                                          \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        }                                                                                                              \
        QApplication app(argc, argv);                                                                                  \
        QTranslator translator;                                                                                        \
        tarvona::prepareApplication(app, translator);                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
