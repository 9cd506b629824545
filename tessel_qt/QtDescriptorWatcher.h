#pragma once

#include <QObject>

#include <map>
#include <memory>

#include "tessel/IDescriptorWatcher.h"

class QSocketNotifier;

namespace Tessel::Qt
{

// The descriptor watcher of the Qt platform: one QSocketNotifier per descriptor, so the event loop
// wakes the moment a socket is readable (no idle tick in between). GUI thread only.
class QtDescriptorWatcher : public QObject, public IDescriptorWatcher
{
public:
    explicit QtDescriptorWatcher(QObject* parent = nullptr);
    ~QtDescriptorWatcher() override;

    bool watch(int fd, Callback onReadable) override;
    void unwatch(int fd) override;

private:
    struct Entry
    {
        QSocketNotifier* notifier = nullptr; // owned; deleted later, it may be signalling
        std::shared_ptr<Callback> callback;
    };
    std::map<int, Entry> watched;
};

} // namespace Tessel::Qt
