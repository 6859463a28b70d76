// The remote-support form TForm21 ("Távsegítség"): starts the remote-support program.
#pragma once

#include "helpform.h"

class TForm21 : public LaunchForm {
    Q_OBJECT
public:
    explicit TForm21(QWidget* parent = nullptr);

    static const QString RemoteSupportProgram;
};

extern TForm21* Form21;
