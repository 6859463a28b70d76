// Database header settings (forced writes, page cache) through the services manager of the engine.
#include "writemode.h"

#include "connection.h"
#include "fbcall.h"

#include <QFile>
#include <functional>
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

// Runs one properties action of the services manager on the database; `property` adds its setting.
void changeProperty(const ConnectionParams& params,
                    const std::function<void(ThrowStatusWrapper*, IXpbBuilder*)>& property)
{
    const QByteArray database = QFile::encodeName(params.database);
    fbCall([&](ThrowStatusWrapper* st) {
        IUtil* util = Connection::util();
        BuilderGuard attachSpb{util->getXpbBuilder(st, IXpbBuilder::SPB_ATTACH, nullptr, 0)};
        attachSpb.builder->insertString(st, isc_spb_user_name, params.user.toUtf8().constData());
        attachSpb.builder->insertString(st, isc_spb_password, params.password.toUtf8().constData());
        IProvider* provider = Connection::master()->getDispatcher();
        struct ProviderGuard {
            IProvider* p;
            ~ProviderGuard() { p->release(); }
        } providerGuard{provider};
        IService* service = provider->attachServiceManager(
            st, "service_mgr", attachSpb.builder->getBufferLength(st), attachSpb.builder->getBuffer(st));
        struct ServiceGuard {
            IService* s;
            ~ServiceGuard()
            {
                if (s)
                    s->release();
            }
        } serviceGuard{service};

        BuilderGuard startSpb{util->getXpbBuilder(st, IXpbBuilder::SPB_START, nullptr, 0)};
        startSpb.builder->insertTag(st, isc_action_svc_properties);
        startSpb.builder->insertString(st, isc_spb_dbname, database.constData());
        property(st, startSpb.builder);
        service->start(st, startSpb.builder->getBufferLength(st), startSpb.builder->getBuffer(st));
        waitForService(st, service);
        service->detach(st);
        serviceGuard.s = nullptr;
    });
}

}

void setForcedWrites(const ConnectionParams& params, bool on)
{
    changeProperty(params, [on](ThrowStatusWrapper* st, IXpbBuilder* spb) {
        const unsigned char mode = on ? isc_spb_prp_wm_sync : isc_spb_prp_wm_async;
        spb->insertBytes(st, isc_spb_prp_write_mode, &mode, 1);
    });
}

void setPageBuffers(const ConnectionParams& params, int pages)
{
    changeProperty(params, [pages](ThrowStatusWrapper* st, IXpbBuilder* spb) {
        spb->insertInt(st, isc_spb_prp_page_buffers, pages);
    });
}
