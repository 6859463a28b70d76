// Forced writes through the services manager of the (embedded) engine.
#include "writemode.h"

#include "connection.h"
#include "fbcall.h"

#include <QFile>
#include <ibase.h>

using namespace Firebird;

namespace {

struct BuilderGuard {
    IXpbBuilder* builder;
    ~BuilderGuard() { builder->dispose(); }
};

// The service runs the action on its own; reading its output to the end waits until it has finished.
void waitForService(ThrowStatusWrapper* st, IService* service)
{
    const unsigned char request[] = {isc_info_svc_line};
    unsigned char buffer[1024];
    for (;;) {
        service->query(st, 0, nullptr, sizeof request, request, sizeof buffer, buffer);
        if (buffer[0] != isc_info_svc_line)
            return;
        const int length = int(isc_portable_integer(buffer + 1, 2));
        if (length == 0)
            return;
    }
}

}

void setForcedWrites(const ConnectionParams& params, bool on)
{
    const QByteArray database = QFile::encodeName(params.database);
    fbCall([&](ThrowStatusWrapper* st) {
        IUtil* util = Connection::util();
        BuilderGuard attachSpb{util->getXpbBuilder(st, IXpbBuilder::SPB_ATTACH, nullptr, 0)};
        attachSpb.builder->insertString(st, isc_spb_user_name, params.user.toUtf8().constData());
        attachSpb.builder->insertString(st, isc_spb_password, params.password.toUtf8().constData());
        IProvider* provider = Connection::master()->getDispatcher();
        struct ProviderGuard { IProvider* p; ~ProviderGuard() { p->release(); } } providerGuard{provider};
        IService* service = provider->attachServiceManager(st, "service_mgr", attachSpb.builder->getBufferLength(st),
                                                           attachSpb.builder->getBuffer(st));
        struct ServiceGuard {
            IService* s;
            ~ServiceGuard() { if (s) s->release(); }
        } serviceGuard{service};

        BuilderGuard startSpb{util->getXpbBuilder(st, IXpbBuilder::SPB_START, nullptr, 0)};
        startSpb.builder->insertTag(st, isc_action_svc_properties);
        startSpb.builder->insertString(st, isc_spb_dbname, database.constData());
        const unsigned char mode = on ? isc_spb_prp_wm_sync : isc_spb_prp_wm_async;
        startSpb.builder->insertBytes(st, isc_spb_prp_write_mode, &mode, 1);
        service->start(st, startSpb.builder->getBufferLength(st), startSpb.builder->getBuffer(st));
        waitForService(st, service);
        service->detach(st);
        serviceGuard.s = nullptr;
    });
}
