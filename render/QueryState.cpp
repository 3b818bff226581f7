#include "QueryState.h"

QueryState &queryState()
{
    static QueryState state;
    return state;
}

void resetQueryState()
{
    queryState() = QueryState();
}
