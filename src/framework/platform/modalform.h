// The one way a command opens a form: create it, store it in its global variable (through which other
// forms reach it while it is open), run it modally through the platform, destroy it.
#pragma once

#include "platform.h"

#include <QDialog>
#include <QPointer>
#include <functional>

// `prepare` runs after creation and before the modal run (a load step); it may return false to skip
// the run (a form that failed to load is not shown). Returns the dialog's result code.
template <class Form>
int runForm(Form*& global, QWidget* parent = nullptr, const std::function<bool(Form&)>& prepare = {})
{
    auto* form = new Form(parent);
    global = form;
    int result = QDialog::Rejected;
    try {
        if (!prepare || prepare(*form))
            result = Platform::instance().runModal(form);
    } catch (...) {
        if (global == form)
            global = nullptr;
        delete form;
        throw;
    }
    if (global == form)
        global = nullptr;
    delete form;
    return result;
}
