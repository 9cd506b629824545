#include "tessel/SignalHandler.h"

#include "tessel/IObserver.h"
#include "tessel/ISubject.h"

namespace Tessel
{

void SignalHandler::addObserver(ISubject* subject, IObserver* observer)
{
    if (subject)
        subject->addObserver(observer);
}

void SignalHandler::removeObserver(ISubject* subject, IObserver* observer)
{
    if (subject)
        subject->removeObserver(observer);
}

void SignalHandler::signal(ISubject* subject, const Message& msg)
{
    if (subject)
        subject->signal(msg);
}

void SignalHandler::post(IObserver* observer, const Message& msg, int64_t delayMs)
{
    queue.post(observer, msg, clock() + (delayMs > 0 ? delayMs : 0));
}

} // namespace Tessel
