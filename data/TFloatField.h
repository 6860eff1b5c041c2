#pragma once

#include "TField.h"

// Shown in the general format with up to 15 significant digits, or through
// DisplayFormat ("#0.00") when one is set.
class TFloatField : public TField
{
public:
    explicit TFloatField(QObject* owner = nullptr);

    TFieldType DataType() const override { return TFieldType::ftFloat; }
    QString DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString& format);

    void SetAsString(const QString& text) override;
    QString AsString() const override;
    qint32 AsInteger() const override;
    void SetAsInteger(qint32 value) override;
    void SetAsFloat(double value) override;

protected:
    QString GetText(bool displayText) const override;
    int DefaultDisplayWidth() const override { return 10; }
    TAlignment DefaultAlignment() const override { return TAlignment::taRightJustify; }

private:
    QString FDisplayFormat;
};
