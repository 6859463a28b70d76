// Setting the buddies of a form's labels by object name.
#include "buddies.h"

#include <QLabel>
#include <QtDebug>

bool setBuddies(QWidget* form, std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    bool allFound = true;
    for (const auto& [labelName, boxName] : pairs) {
        auto* label = form->findChild<QLabel*>(QLatin1String(labelName));
        auto* box = form->findChild<QWidget*>(QLatin1String(boxName));
        if (!label || !box) {
            qWarning("setBuddies: %s has no %s", qPrintable(form->objectName()),
                     !label ? labelName : boxName);
            allFound = false;
            continue;
        }
        label->setBuddy(box);
    }
    return allFound;
}
