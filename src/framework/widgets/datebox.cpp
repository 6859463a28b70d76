// Date boxes: the whole text selected on entry, digits shown as a date on leaving, the calendar.
#include "datebox.h"

#include "formats.h"
#include "keyfilters.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

namespace {

class DateBoxBehaviour : public QObject {
public:
    explicit DateBoxBehaviour(QLineEdit* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // The click that brings the focus places the cursor when it is pressed: the text is
            // selected once it is released. Coming back from another window or a pop-up menu keeps the
            // cursor where the user left it.
            if (reason == Qt::MouseFocusReason)
                clickedIn_ = true;
            else if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                box_->selectAll();
            break;
        }
        case QEvent::MouseButtonRelease:
            // A drag that selected part of the text keeps that selection.
            if (clickedIn_ && !box_->hasSelectedText())
                box_->selectAll();
            clickedIn_ = false;
            break;
        case QEvent::FocusOut:
            clickedIn_ = false;
            if (const std::optional<QDate> date = Formats::parseDate(box_->text())) {
                const QString shown = Formats::formatDate(*date);
                if (shown != box_->text())
                    box_->setText(shown);
            }
            break;
        default: break;
        }
        return false;
    }

private:
    QLineEdit* box_;
    bool clickedIn_ = false;
};

}

void installDateBox(QLineEdit* box)
{
    installDateFilter(box);
    box->installEventFilter(new DateBoxBehaviour(box));
}

DateBox::DateBox(const QDate& date, QWidget* parent) : QLineEdit(parent)
{
    installDateBox(this);
    setDate(date);
    QAction* open = addAction(
        QIcon::fromTheme(QStringLiteral("view-calendar"), style()->standardIcon(QStyle::SP_ArrowDown)),
        QLineEdit::TrailingPosition);
    open->setText(QStringLiteral("Naptár"));
    open->setToolTip(QStringLiteral("Naptár (Alt+Le)"));
    connect(open, &QAction::triggered, this, &DateBox::showCalendar);
}

QDate DateBox::date() const
{
    return Formats::parseDate(text()).value_or(QDate());
}

void DateBox::setDate(const QDate& date)
{
    setText(Formats::formatDate(date));
}

QString DateBox::displayFormat() const
{
    return Formats::shortDateFormat();
}

void DateBox::showCalendar()
{
    if (!calendar_) {
        calendar_ = new QCalendarWidget(this);
        calendar_->setObjectName(QStringLiteral("calendar"));
        calendar_->setWindowFlags(Qt::Popup);
        // The program's dates are Hungarian under a C locale as well.
        if (QLocale().language() == QLocale::C)
            calendar_->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
        calendar_->setFirstDayOfWeek(Qt::Monday);
        connect(calendar_, &QCalendarWidget::clicked, this, &DateBox::takeCalendarDate);
        connect(calendar_, &QCalendarWidget::activated, this, &DateBox::takeCalendarDate);
    }
    const QDate shown = date();
    calendar_->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    calendar_->adjustSize();
    calendar_->move(mapToGlobal(QPoint(0, height())));
    calendar_->show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

void DateBox::takeCalendarDate(const QDate& date)
{
    setDate(date);
    calendar_->hide();
    setFocus(Qt::PopupFocusReason);
    selectAll();
}

void DateBox::keyPressEvent(QKeyEvent* event)
{
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (altDown || (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
