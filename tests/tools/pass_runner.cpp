// Runs one processing pass on the user's settings file, as the attendant would. With a number
// N it kills itself (SIGKILL, no clean-up of any kind) at the Nth boundary of a mail operation,
// counting the moments just before and just after each one, so a test can stop a pass at
// every point between two steps and check that the next pass repairs everything.
#include "ProfileMailSessionFactory.h"
#include "attendant/PassListener.h"
#include "attendant/ProcessingPass.h"
#include "platform/IniSettingsStore.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace Enrolix;

namespace {

int gKillAt = 0;
int gBoundary = 0;

void boundary()
{
    if (++gBoundary == gKillAt)
        std::raise(SIGKILL);
}

template <typename Operation> auto guarded(Operation operation)
{
    boundary();
    auto result = operation();
    boundary();
    return result;
}

class DyingSession final : public MailSession
{
public:
    explicit DyingSession(std::unique_ptr<MailSession> inner) : m_inner(std::move(inner)) {}

    bool fetchUnread() override
    {
        return guarded([&] { return m_inner->fetchUnread(); });
    }
    int count() const override { return m_inner->count(); }
    std::optional<IncomingMail> read(int index) override
    {
        return guarded([&] { return m_inner->read(index); });
    }
    void prefetch(int index) override
    {
        guarded([&] {
            m_inner->prefetch(index);
            return true;
        });
    }
    void queueReply(int index, const QString& address, const QString& name, const QString& subject, const QString& text,
                    std::function<bool()> ready) override
    {
        guarded([&] {
            m_inner->queueReply(index, address, name, subject, text, std::move(ready));
            return true;
        });
    }
    // Only a call that settles a reply is a boundary: how often one comes back empty depends
    // on the timing of the sending thread.
    std::optional<SettledReply> settledReply(bool wait) override
    {
        std::optional<SettledReply> settled = m_inner->settledReply(wait);
        if (settled) {
            boundary();
            boundary();
        }
        return settled;
    }
    int repliesQueued() const override { return m_inner->repliesQueued(); }
    bool markRead(int index) override
    {
        return guarded([&] { return m_inner->markRead(index); });
    }
    void leaveUnread(int index) override
    {
        guarded([&] {
            m_inner->leaveUnread(index);
            return true;
        });
    }
    void signOff() override
    {
        guarded([&] {
            m_inner->signOff();
            return true;
        });
    }
    QString failure() const override { return m_inner->failure(); }

private:
    std::unique_ptr<MailSession> m_inner;
};

class DyingFactory final : public MailSessionFactory
{
public:
    explicit DyingFactory(MailSessionFactory& inner) : m_inner(inner) {}
    SignOn signOn(const QString& profile, std::stop_token stop = {}) override
    {
        SignOn opened = guarded([&] { return m_inner.signOn(profile, stop); });
        if (opened.session)
            opened.session = std::make_unique<DyingSession>(std::move(opened.session));
        return opened;
    }
    OutboxSignOn openOutbox(const QString& profile, std::stop_token stop = {}) override
    {
        return m_inner.openOutbox(profile, std::move(stop));
    }

private:
    MailSessionFactory& m_inner;
};

class PrintingListener final : public PassListener
{
public:
    void statusChanged(const QString& status) override { std::printf("status %s\n", qPrintable(status)); }
    void replySent(qint16 count) override { std::printf("replies %d\n", int(count)); }
    void connectionFailed(qint16 count, const QString& reason) override
    {
        std::printf("failures %d: %s\n", int(count), qPrintable(reason));
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 1)
        gKillAt = QString::fromLocal8Bit(argv[1]).toInt();
    IniSettingsStore store;
    Settings settings;
    settings.LoadSettings(store);
    ProfileMailSessionFactory profiles(store);
    DyingFactory mail(profiles);
    PrintingListener listener;
    ProcessingPass pass(settings, mail, listener);
    pass.run();
    std::printf("boundaries %d\n", gBoundary);
    return pass.iMAPIErrors() == 0 ? 0 : 1;
}
