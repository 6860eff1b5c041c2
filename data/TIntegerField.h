#pragma once

#include "TField.h"

class TIntegerField : public TField
{
public:
    explicit TIntegerField(QObject* owner = nullptr);

    TFieldType DataType() const override { return TFieldType::ftInteger; }
    void SetAsString(const QString& text) override;
    QString AsString() const override;
    double AsFloat() const override;
    void SetAsFloat(double value) override;

protected:
    int DefaultDisplayWidth() const override { return 11; }
    TAlignment DefaultAlignment() const override { return TAlignment::taRightJustify; }
};
