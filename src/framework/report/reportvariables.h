// The report variables: one process-wide table of named texts and numbers that every template reads.
#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class ReportVariables {
public:
    // Names are compared without regard to letter case; a value stays until it is set again.
    void set(const QString& name, const QString& text);
    void set(const QString& name, double number);

    bool contains(const QString& name) const;
    // A QString or a double; an invalid QVariant for a name never set.
    QVariant value(const QString& name) const;

private:
    QHash<QString, QVariant> values_;
};

// The one table of the process. Nothing ever clears it.
ReportVariables& reportVariables();
