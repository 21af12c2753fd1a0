#include "transfer/cycle_connection.h"

#include "transfer/server_session_factory.h"

#include <utility>

namespace velmora {

CycleConnection::CycleConnection(FtpTimeouts timeouts) : timeouts_(timeouts)
{
}

CycleConnection::Use::~Use()
{
    if (!keep_ || result_ != FtpOpenResult::Connected)
        owner_.drop();
}

CycleConnection::Use CycleConnection::open(const CycleLogin& login, ServerTrust trust)
{
    if (kept_ && *kept_ == login && !ended_.exchange(false) && session_->stillAnswers())
        return Use(*this, FtpOpenResult::Connected);
    // A new session: nothing of the old one (its directory, its deadline, its pinned key) may
    // carry over into the new connection.
    drop();
    session_ = makeServerSession(login.serverName, timeouts_, std::move(trust));
    if (login.deadline)
        session_->limitTo(*login.deadline);
    const FtpOpenResult opened = session_->open(login.serverName, login.userName, login.password);
    if (opened == FtpOpenResult::Connected)
        kept_ = login;
    return Use(*this, opened);
}

void CycleConnection::drop()
{
    kept_.reset();
    if (session_)
        session_->close();
}

} // namespace velmora
