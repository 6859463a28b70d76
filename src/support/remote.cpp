// The remote-support form.
#include "remote.h"
#include "platform.h"

TForm21* Form21 = nullptr;

const QString TForm21::RemoteSupportProgram = QStringLiteral("ShowMyPC3000.exe");

TForm21::TForm21(QWidget* parent)
    : LaunchForm(parent, QStringLiteral("Form21"), QStringLiteral("Távsegítség"),
                 QStringLiteral("Program indítása"), [] {
                     // Found by name on the search path. When it cannot be started the user is told, as the
                     // desktop's shell would tell of a program it cannot find.
                     if (!Platform::instance().startProgram(RemoteSupportProgram))
                         Platform::instance().information(
                             QStringLiteral("A(z) %1 program nem indítható el.").arg(RemoteSupportProgram));
                 })
{
}
