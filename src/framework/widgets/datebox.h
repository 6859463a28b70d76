// Date boxes: a date typed in the box's own form ("2025.06.16"), as its digits ("20250616") or pasted,
// whichever way the focus came in.
#pragma once

#include <QDate>
#include <QLineEdit>

class QCalendarWidget;

// Makes a line edit a date box: it takes digits and "." only (the date key filter); the focus arriving
// by any way (Tab, Enter, a label's shortcut, a click) selects the whole text, so that what is typed
// replaces the date; a date typed without its dots is shown in the date format once the box is left.
// Text that is no date stays as typed: the form that reads it says so, it is never turned into
// another date.
void installDateBox(QLineEdit* box);

// A line edit holding one date, in place of a sectioned date editor, which moves on to the next
// section by itself and so turns "2025.06.16" typed from its start into another date. Alt+Down or F4
// opens a calendar to pick from.
class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(const QDate& date = QDate(), QWidget* parent = nullptr);

    // Invalid while the text is no date.
    QDate date() const;
    // An invalid date empties the box.
    void setDate(const QDate& date);
    QString displayFormat() const;
    bool calendarPopup() const { return true; }
    void showCalendar();
    QCalendarWidget* calendar() const { return calendar_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void takeCalendarDate(const QDate& date);

    QCalendarWidget* calendar_ = nullptr;
};
