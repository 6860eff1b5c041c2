#include "TSQLQuery.h"

#include "ComponentMessage.h"
#include "ESQLParamError.h"
#include "Exceptions.h"
#include "NamedParams.h"
#include "TSQLConnection.h"

TSQLQuery::TSQLQuery(QObject* owner) : QObject(owner)
{
    FSQL.OnChange = [this] { SQLChanged(); };
}

TSQLQuery::~TSQLQuery() = default;

void TSQLQuery::SQLChanged()
{
    NamedParams parsed = NamedParams::Parse(FSQL.Text());
    std::vector<std::unique_ptr<TParam>> params;
    for (const QString& name : parsed.Occurrences) {
        bool seen = false;
        for (const auto& p : params)
            seen = seen || p->Name().compare(name, Qt::CaseInsensitive) == 0;
        if (seen) continue;
        TParam* old = FindParam(name);
        params.push_back(old ? std::make_unique<TParam>(*old) : std::make_unique<TParam>(name));
    }
    FParams = std::move(params);
    FPrepared = std::move(parsed.Statement);
    FOccurrences = std::move(parsed.Occurrences);
}

TParam* TSQLQuery::FindParam(const QString& name) const
{
    for (const auto& p : FParams)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0) return p.get();
    return nullptr;
}

TParam& TSQLQuery::ParamByName(const QString& name)
{
    if (TParam* p = FindParam(name)) return *p;
    throw EDatabaseError(
        ComponentMessage(this, QStringLiteral("Parameter '%1' not found").arg(name)));
}

void TSQLQuery::ExecSQL()
{
    FRowsAffected = 0;
    if (!FConnection)
        throw EDatabaseError(
            ComponentMessage(this, QStringLiteral("Missing SQLConnection property")));
    if (FPrepared.trimmed().isEmpty())
        throw EDatabaseError(ComponentMessage(this, QStringLiteral("No SQL statement available")));
    QList<TSQLParamValue> values;
    for (const QString& name : FOccurrences) {
        const TParam& p = *FindParam(name);
        if (!p.Bound())
            throw EDatabaseError(ComponentMessage(
                this, QStringLiteral("No value for parameter '%1'").arg(p.Name())));
        values.append(p.Value());
    }
    try {
        FRowsAffected = FConnection->Execute(
            FPrepared, values, FCountRows ? TRowCount::Counted : TRowCount::Uncounted);
    } catch (const ESQLParamError& e) {
        throw e.WithName(ComponentMessage(this, QString()), FOccurrences.value(e.Index()));
    }
}
