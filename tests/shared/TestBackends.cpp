#include "TestBackends.h"

#include <QTest>
#include <QtGlobal>

QString TestBackend::Name() const
{
    switch (Type) {
    case SQLite:
        return QStringLiteral("sqlite");
    case Firebird:
        return QStringLiteral("firebird");
    case Server:
        return QStringLiteral("server");
    }
    return {};
}

QList<TestBackend> ConfiguredBackends()
{
    const QString setting = qEnvironmentVariableIsSet("MASSAMEND_TEST_BACKENDS")
                                ? qEnvironmentVariable("MASSAMEND_TEST_BACKENDS")
                                : QStringLiteral("sqlite,firebird");
    QList<TestBackend> backends;
    for (const QString& name : setting.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool known = false;
        for (TestBackend::Kind kind :
             {TestBackend::SQLite, TestBackend::Firebird, TestBackend::Server}) {
            const TestBackend backend{kind};
            if (backend.Name() == name.trimmed()) {
                backends.append(backend);
                known = true;
            }
        }
        if (!known)
            qFatal("MASSAMEND_TEST_BACKENDS names an unknown backend: %s", qPrintable(name));
    }
    return backends;
}

QString ServerHost()
{
    return qEnvironmentVariable("MASSAMEND_FB_HOST", QStringLiteral("127.0.0.1"));
}

QString ServerPassword()
{
    return qEnvironmentVariable("MASSAMEND_FB_PASSWORD", QStringLiteral("masterkey"));
}

void AddBackendColumn()
{
    QTest::addColumn<TestBackend>("backend");
}

void AddBackendRows()
{
    AddBackendColumn();
    for (const TestBackend& backend : ConfiguredBackends())
        QTest::newRow(qPrintable(backend.Name())) << backend;
}
