#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The program's one exception hierarchy. Every error of the data layer, the
// database or a handler is one of these; the application shows Message() in
// its box, except for EAbort, which cancels an operation silently.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);
    ~Exception() override;

    const QString& Message() const { return FMessage; }
    // The class name shown in the start-up "Application Error" box.
    virtual QString ClassName() const { return QStringLiteral("Exception"); }
    const char* what() const noexcept override;

private:
    QString FMessage;
    QByteArray FUtf8;
};

class EAbort : public Exception
{
public:
    EAbort();
    QString ClassName() const override { return QStringLiteral("EAbort"); }
};

// Errors of the data layer itself ("Field '%s' not found", ...).
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
    QString ClassName() const override { return QStringLiteral("EDatabaseError"); }
};

// A text that the target type can't take.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
    QString ClassName() const override { return QStringLiteral("EConvertError"); }
};

// An error reported by the database engine, with the engine's own text.
class ESQLError : public EDatabaseError
{
public:
    ESQLError(QString message, int errorCode);
    QString ClassName() const override { return QStringLiteral("ESQLError"); }
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

// An engine error that says the connection to the database server is gone
// (the server stopped or restarted, the network failed): nothing more runs on
// it until the connection attaches again.
class ESQLConnectionLost : public ESQLError
{
public:
    using ESQLError::ESQLError;
    QString ClassName() const override { return QStringLiteral("ESQLConnectionLost"); }
};

// An engine error that says the statement met another client's concurrent
// change (an update conflict or a deadlock; a database that stayed busy):
// rolled back, the same statement may well succeed in a new transaction.
class ESQLConflict : public ESQLError
{
public:
    using ESQLError::ESQLError;
    QString ClassName() const override { return QStringLiteral("ESQLConflict"); }
};

// The text of the application's error box: the message with "." appended when
// its last character sorts after ".".
QString ErrorBoxText(const QString& message);
