// The process-wide report variables.
#include "reportvariables.h"

void ReportVariables::set(const QString& name, const QString& text)
{
    values_.insert(name.toLower(), text);
}

void ReportVariables::set(const QString& name, double number)
{
    values_.insert(name.toLower(), number);
}

bool ReportVariables::contains(const QString& name) const
{
    return values_.contains(name.toLower());
}

QVariant ReportVariables::value(const QString& name) const
{
    return values_.value(name.toLower());
}

ReportVariables& reportVariables()
{
    static ReportVariables variables;
    return variables;
}
