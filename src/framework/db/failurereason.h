// Why a statement or a file operation failed, said in Hungarian for the second line of a failure message.
#pragma once

#include <QString>
#include <exception>

class QFileDevice;
class QProcess;

// The reason of a failed save: a character the code page cannot hold, a text too long for its column, a
// number or date that is not valid, a lock conflict with another desk, a refusal raised inside the
// database (a trigger's exception with its own message, a check constraint). The data layer's own
// errors are already Hungarian and are given as they are; an unknown server error gives the server's
// first line. Empty when the error carries no text at all.
QString failureReason(const std::exception& error);

// Whether the error says that the connection to the database server is gone: the server stopped or
// restarted, the network broke, the database or the attachment was shut down. The unit of work died with
// it on the server; the connection must attach again (Connection::dropLost()).
bool connectionLost(const std::exception& error);

// The numbered message unchanged, then "\r" and the reason when there is one (message boxes break the
// line there).
QString withReason(const QString& message, const std::exception& error);

// The operating system's reason for an errno value, in Hungarian ("Csak olvasható fájlrendszer").
QString systemReason(int errorNumber);
// Why the last operation on `file` failed, in Hungarian: the system's reason when the device reports
// one, else the kind of operation that failed.
QString fileReason(const QFileDevice& file);
// Why a program could not be run or did not finish, in Hungarian.
QString processReason(const QProcess& process);
// Why a database could not be opened, in Hungarian: a missing, unreadable, read-only, short or foreign
// file, a file of another engine version, another program holding it, the engine's unusable lock folder.
// Anything else gives the server's own text, so that no reason is lost.
QString openFailureReason(const std::exception& error);
