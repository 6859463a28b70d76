// The one instance of the shared state.
#include "sharedstate.h"

SharedState& shared()
{
    static SharedState state;
    return state;
}

QString& applicationHelpFile()
{
    static QString path;
    return path;
}
