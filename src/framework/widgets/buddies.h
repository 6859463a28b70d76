// Ties each label of a form to the box it names, so that the label's shortcut focuses the box.
#pragma once

#include <QString>
#include <initializer_list>
#include <utility>

class QWidget;

// Pairs of object names: {label, box}. Returns false (and warns) when a name is not found in the form;
// the pairs that are found are set all the same.
bool setBuddies(QWidget* form, std::initializer_list<std::pair<const char*, const char*>> pairs);
