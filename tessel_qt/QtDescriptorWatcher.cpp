#include "tessel_qt/QtDescriptorWatcher.h"

#include <QSocketNotifier>

namespace Tessel::Qt
{

QtDescriptorWatcher::QtDescriptorWatcher(QObject* parent) : QObject(parent) {}

QtDescriptorWatcher::~QtDescriptorWatcher()
{
    for (auto& [fd, entry] : watched)
        delete entry.notifier;
}

bool QtDescriptorWatcher::watch(int fd, Callback onReadable)
{
    if (fd < 0 || !onReadable)
        return false;
    unwatch(fd);
    auto* notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read);
    auto callback = std::make_shared<Callback>(std::move(onReadable));
    // The notifier holds its own share of the callback, so unwatching from inside the callback
    // leaves the running function alive until it returns.
    QObject::connect(notifier, &QSocketNotifier::activated, this, [callback] { (*callback)(); });
    watched[fd] = Entry{notifier, callback};
    return true;
}

void QtDescriptorWatcher::unwatch(int fd)
{
    auto it = watched.find(fd);
    if (it == watched.end())
        return;
    it->second.notifier->setEnabled(false);
    it->second.notifier->deleteLater();
    watched.erase(it);
}

} // namespace Tessel::Qt
