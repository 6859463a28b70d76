// The values that forms hand to each other for the whole run: modes, search values, picked codes.
#pragma once

#include <QString>

struct SharedState {
    QString CurrentEmployeeCode;
    QString CurrentCaption;
    QString DocumentMode;
    QString CurrentDocumentKey;
    QString ItemEntryMode;
    QString PartnerEntryMode;
    QString WarehouseEntryMode;
    QString MovementTypeEntryMode;
    QString EmployeeEntryMode;
    QString SelectedItemNumber;
    QString SelectedPartnerCode;
    QString SelectedWarehouseCode;
    QString SelectedMovementType;
    QString SelectedEmployeeCode;
    QString LookupFlag;
    QString MaintenancePassword;
    QString SummaryDateFrom;
    QString SummaryDateTo;
    double RunningStock = 0;
    double RunningValue = 0;
};

// The one instance, read and written on the user-interface thread only.
SharedState& shared();

// The application's help file: an absolute path fixed at start-up (file name "VARNEL.HLP").
QString& applicationHelpFile();
