// Keyboard rules of the forms: boxes that take only certain characters, and Enter / Shift+Enter moving
// the focus to the next / previous control of a form.
#pragma once

#include <QObject>

class QWidget;

// Drops every typed character the box does not take; Backspace, Enter, Tab and the cursor keys pass.
// A text box also gets a validator of the same rule, which refuses a whole change that would bring in
// such a character by any other way: paste, middle-click, drop, input method, or an accessibility client
// setting the box's value. A date box drops the blanks and line ends a pasted date brings along. (Qt's
// accessible line edit inserts and replaces text through setText, which no validator sees; those two calls
// are not covered.)
class CharacterFilter : public QObject {
    Q_OBJECT
public:
    enum Kind {
        Number,   // digits and the decimal comma
        Date,     // digits and "."
        Digits    // digits only
    };
    CharacterFilter(Kind kind, QObject* parent);
    Kind kind() const { return kind_; }
    bool accepts(QChar character) const;
    // True when every character of `text` is taken.
    bool acceptsAll(const QString& text) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Kind kind_;
};

// Each returns the filter, owned by the box. A QLineEdit (or the line edit of an editable combo box)
// gets the validator too; a spin box or date edit keeps its own.
CharacterFilter* installNumberFilter(QWidget* box);
CharacterFilter* installDateFilter(QWidget* box);
CharacterFilter* installDigitsFilter(QWidget* box);

// Enter anywhere in the form moves the focus to the next control in focus order, Shift+Enter to the
// previous one (as Tab and Shift+Tab would); the key goes no further, so it neither types into a box
// nor presses a default button. Owned by the form.
class EnterFocusMovement : public QObject {
    Q_OBJECT
public:
    explicit EnterFocusMovement(QWidget* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* form_;
};

EnterFocusMovement* installEnterFocusMovement(QWidget* form);
