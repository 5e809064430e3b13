#pragma once

#include "tallowmereapp.h"
#include "testdir.h"

#include <QApplication>

// The whole program's set-up over a private home inside `dir`, as it starts for a user.
inline void prepareProgramIn(const TestDir &dir)
{
    dir.isolateHome();
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    TallowmereApp::prepareApplication();
}
