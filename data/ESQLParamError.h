#pragma once

#include "Exceptions.h"

// A parameter value that its statement can't take: a text that is no number
// for a numeric parameter, or a character that the connection's set can't
// hold. Thrown by the drivers before anything is written. Drivers know the
// parameter only by its position; a caller that knows its name throws
// WithName() instead.
class ESQLParamError : public EDatabaseError
{
public:
    // index: 0-based position of the '?' in the statement.
    ESQLParamError(int index, QString reason);
    QString ClassName() const override { return QStringLiteral("ESQLParamError"); }

    int Index() const { return FIndex; }
    const QString& Reason() const { return FReason; }
    // The same error naming the parameter: "Invalid value for parameter 'V': ...".
    ESQLParamError WithName(const QString& prefix, const QString& name) const;

private:
    ESQLParamError(int index, QString reason, QString message);

    int FIndex;
    QString FReason;
};
