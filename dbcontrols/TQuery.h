#pragma once

#include "TBDEDataSet.h"

// An engine dataset over a SELECT. A one-directional query reads forwards
// only: it cannot move back to an earlier row.
class TQuery : public TBDEDataSet
{
public:
    using TBDEDataSet::TBDEDataSet;

    bool UniDirectional() const { return FUniDirectional; }
    void SetUniDirectional(bool uniDirectional) { FUniDirectional = uniDirectional; }

private:
    bool FUniDirectional = false;
};
