// Character filters for number, date and digits-only boxes, and Enter focus movement.
#include "keyfilters.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <QWidget>

#include <algorithm>

CharacterFilter::CharacterFilter(Kind kind, QObject* parent) : QObject(parent), kind_(kind) {}

bool CharacterFilter::accepts(QChar character) const
{
    if (character >= QLatin1Char('0') && character <= QLatin1Char('9'))
        return true;
    switch (kind_) {
    case Number: return character == QLatin1Char(',');
    case Date: return character == QLatin1Char('.');
    case Digits: return false;
    }
    return false;
}

bool CharacterFilter::acceptsAll(const QString& text) const
{
    return std::all_of(text.begin(), text.end(), [this](QChar character) { return accepts(character); });
}

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Shortcuts (paste, undo, select all) are not typing; what a paste brings in meets the validator.
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    for (QChar character : key->text()) {
        const bool control = character.unicode() < 0x20 || character.unicode() == 0x7f;
        if (!control && !accepts(character))
            return true;
    }
    return false;
}

namespace {

// A whole change is refused when it brings in a character the box does not take; the line edit then
// keeps the text it had. Text set by the program (a row loaded from the database) is not checked.
class CharacterValidator : public QValidator {
public:
    CharacterValidator(const CharacterFilter* filter, QObject* parent) : QValidator(parent), filter_(filter)
    {
    }

    State validate(QString& input, int& position) const override
    {
        // A date copied from a cell or a line of text brings blanks or a line end with it.
        if (filter_->kind() == CharacterFilter::Date) {
            for (int i = input.size() - 1; i >= 0; --i) {
                if (input.at(i).isSpace()) {
                    input.remove(i, 1);
                    if (i < position)
                        --position;
                }
            }
        }
        return filter_->acceptsAll(input) ? Acceptable : Invalid;
    }

private:
    const CharacterFilter* filter_;
};

CharacterFilter* installFilter(QWidget* box, CharacterFilter::Kind kind)
{
    auto* filter = new CharacterFilter(kind, box);
    box->installEventFilter(filter);
    QLineEdit* edit = qobject_cast<QLineEdit*>(box);
    if (auto* combo = qobject_cast<QComboBox*>(box))
        edit = combo->lineEdit();
    if (edit)
        edit->setValidator(new CharacterValidator(filter, filter));
    return filter;
}

}

CharacterFilter* installNumberFilter(QWidget* box)
{
    return installFilter(box, CharacterFilter::Number);
}

CharacterFilter* installDateFilter(QWidget* box)
{
    return installFilter(box, CharacterFilter::Date);
}

CharacterFilter* installDigitsFilter(QWidget* box)
{
    return installFilter(box, CharacterFilter::Digits);
}

namespace {
// QWidget::focusNextPrevChild is protected; a member pointer taken through a subclass reaches it on
// any widget.
struct FocusChain : QWidget {
    static bool move(QWidget* widget, bool next)
    {
        return (widget->*(&FocusChain::focusNextPrevChild))(next);
    }
};
}

EnterFocusMovement::EnterFocusMovement(QWidget* form) : QObject(form), form_(form)
{
    // Seen before any control of the form: the application filters first, so no box, grid editor or
    // default button gets the key.
    qApp->installEventFilter(this);
}

bool EnterFocusMovement::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != form_ && !form_->isAncestorOf(widget)))
        return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    FocusChain::move(form_, modifiers != Qt::ShiftModifier);
    return true;
}

EnterFocusMovement* installEnterFocusMovement(QWidget* form)
{
    return new EnterFocusMovement(form);
}
