#include "resources.h"

#include <QtGlobal>

static void initOnce()
{
    Q_INIT_RESOURCE(resources);
}

void initKv847Resources()
{
    static const bool done = (initOnce(), true);
    Q_UNUSED(done);
}
