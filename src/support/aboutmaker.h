// Who made the program and how to reach them: the splash, the about box and the e-mail form use these.
#pragma once

#include <QString>

namespace MakerInfo {
inline const QString company = QStringLiteral("Kardos és Társa Szoftverház Bt.");
inline const QString programmer = QStringLiteral("Kardos Péter");
inline const QString address = QStringLiteral("6722 Szeged, Petőfi Sándor sugárút 31.");
inline const QString phone = QStringLiteral("+36 62 555 0142");
inline const QString mobile = QStringLiteral("+36 30 555 0187");
inline const QString email = QStringLiteral("varnel@kardossoft.example");
inline const QString web = QStringLiteral("www.kardossoft.example");
// Where data are sent for checking.
inline const QString supportEmail = QStringLiteral("tamogatas@kardossoft.example");
}
