// The lock that lets one copy of the program work in a working folder at a time.
#pragma once

#include <QLockFile>
#include <QString>

class RunLock {
public:
    // The lock file "varnel.lock" in `folder`; nothing is taken yet.
    explicit RunLock(const QString& folder);

    // Takes the lock for as long as this object lives. When another running copy holds it, shows that
    // the program already runs and returns false. A lock left behind by a copy that has ended is taken
    // over; a folder where no lock file can be made does not stop the start (the embedded engine still
    // opens the database file exclusively).
    bool take();

private:
    QString folder_;
    QLockFile file_;
};
