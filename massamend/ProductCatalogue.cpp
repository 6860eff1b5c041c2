#include "ProductCatalogue.h"

QString TProductFieldDef::DisplayName() const
{
    if (DisplayLabel.empty()) return Name();
    return QString::fromUtf8(DisplayLabel.data(), DisplayLabel.size());
}

int ProductCatalogue::FindIndex(QStringView fieldName)
{
    for (std::size_t i = 0; i < Fields.size(); ++i)
        if (fieldName.compare(
                QLatin1StringView(Fields[i].FieldName.data(), Fields[i].FieldName.size()),
                Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}
