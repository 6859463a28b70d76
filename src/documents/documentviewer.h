// The line viewer TForm28: the register's current line with the names of its codes, read-only.
#pragma once

#include "documentlayout.h"

class TForm28 : public DocumentLineLayout {
    Q_OBJECT
public:
    explicit TForm28(QWidget* parent = nullptr);

    // The caption and the register's current line; false (after the message) when it cannot be read,
    // and the viewer is then not shown.
    bool load();
};

extern TForm28* Form28;
