#pragma once

#include "TField.h"

// Text of at most Size bytes in Big5, where a Chinese character takes two:
// longer text is cut at a character boundary.
class TStringField : public TField
{
public:
    explicit TStringField(QObject* owner = nullptr);

    TFieldType DataType() const override { return TFieldType::ftString; }
    void SetAsString(const QString& text) override;
    qint32 AsInteger() const override;
    double AsFloat() const override;

protected:
    QString GetText(bool displayText) const override;
    int DefaultDisplayWidth() const override { return Size(); }
};
