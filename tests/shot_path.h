// Where widget tests leave pictures of their windows for a person to look at.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <deque>
#include <string>

// name in the folder "shots" beside the test program, in the build tree:
// runs of different builds keep their pictures apart, tests that change the
// working directory do not move them, and nothing is written under a fixed
// name into a folder that all users share.
inline const char* ShotPath(const char* name) {
    static std::deque<std::string> paths; // keeps each returned text alive
    const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/shots"));
    dir.mkpath(QStringLiteral("."));
    paths.push_back(dir.absoluteFilePath(QString::fromUtf8(name)).toStdString());
    return paths.back().c_str();
}
