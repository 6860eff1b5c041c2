#pragma once

#include "TSQLDriver.h"

#include <QString>

// A named parameter of a SQL command. Its value is text or null; a parameter
// that was never given one stops the command from running.
class TParam
{
public:
    explicit TParam(QString name) : FName(std::move(name)) {}

    const QString& Name() const { return FName; }
    // The text, empty for null.
    QString AsString() const { return FValue.value_or(QString()); }
    void SetAsString(const QString& value)
    {
        FValue = value;
        FBound = true;
    }
    // Makes the value null.
    void Clear()
    {
        FValue.reset();
        FBound = true;
    }
    bool IsNull() const { return !FValue.has_value(); }
    bool Bound() const { return FBound; }
    const TSQLParamValue& Value() const { return FValue; }

private:
    QString FName;
    TSQLParamValue FValue;
    bool FBound = false;
};
