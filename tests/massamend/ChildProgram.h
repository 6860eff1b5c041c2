#pragma once

#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

// writebackchild (WriteBackChild.cpp) on a test database: the window's
// write-back of the listed products in a process of its own, its output read
// line by line.
class ChildProgram
{
public:
    // The child's per-user settings name the test database's files. Given
    // a go file, it waits for it once its list is loaded.
    ChildProgram(const TestDatabase& database, const QStringList& codes, const QString& column,
                 const QString& value, const QString& journal, const QString& goFile = {})
    {
        {
            QSettings settings(FConfig.filePath(QStringLiteral("MassAmend/SQLDriver.conf")),
                               QSettings::IniFormat);
            settings.setValue(QStringLiteral("Connection Registry File"),
                              database.ConnectionsFile());
            settings.setValue(QStringLiteral("Driver Registry File"), database.DriversFile());
        }
        QFile file(FConfig.filePath(QStringLiteral("codes")));
        if (file.open(QIODevice::WriteOnly)) file.write(codes.join(u'\n').toUtf8());
        file.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), FConfig.path());
        Process.setProcessEnvironment(environment);
        Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Process.start(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("writebackchild")),
            {file.fileName(), column, value, journal});
    }
    ~ChildProgram()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(10000);
        }
    }

    // Reads lines until one starts with `prefix`; false at the end or after
    // `ms` without it.
    bool WaitFor(const QByteArray& prefix, int ms = 60000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            while (Process.canReadLine()) {
                const QByteArray line = Process.readLine().trimmed();
                Output += line + '\n';
                if (line.startsWith("step ")) Steps = line.mid(5).toInt();
                if (line.startsWith(prefix)) return true;
            }
            if (Process.state() == QProcess::NotRunning) return false;
            Process.waitForReadyRead(50);
        }
        return false;
    }
    QByteArray Rest()
    {
        Output += Process.readAll();
        return Output;
    }

    QProcess Process;
    QByteArray Output;
    int Steps = 0;

private:
    QTemporaryDir FConfig;
};
